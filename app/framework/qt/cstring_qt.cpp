#include <cstdarg>

#include "app/framework/cstring.h"

void CString::Format(const char* lpszFormat, ...) {
    va_list args;
    va_start(args, lpszFormat);
    *this = QString::vasprintf(lpszFormat, args);
    va_end(args);
}
