// kestctl, the command-line client of the KestATI device. The whole program is this function so
// that tests can run it in-process; what it prints goes to `out` and `err`.
#pragma once

#include <string>

// Returns the exit code: 0 done, 1 the device (or the board's control socket) cannot be reached
// or the request was not answered, 2 bad arguments.
int RunKestctl(int argc, const char* const* argv, std::string* out, std::string* err);
