// Setting and removing the process's environment variables the same way on every system.
#pragma once

#include <cstdlib>

namespace kesttest {

inline void SetEnv(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

inline void UnsetEnv(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");  // an empty value removes the variable there
#else
    unsetenv(name);
#endif
}

}  // namespace kesttest
