// Windows XP has no GetTickCount64, which the static POSIX thread library imports for its timed
// waits; a program importing it would not start there. This definition of the import slot takes
// the place of kernel32's (objects are linked before libraries): it calls the system's own routine
// where there is one and otherwise counts milliseconds from the performance counter.
#include <windows.h>

namespace {

ULONGLONG WINAPI TickCount64() {
    using Routine = ULONGLONG(WINAPI*)();
    static Routine system = reinterpret_cast<Routine>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
    if (system != nullptr) {
        return system();
    }
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<ULONGLONG>(count.QuadPart / (frequency.QuadPart / 1000));
}

}  // namespace

extern "C" {
// The i686 name of the import slot: "_" + routine + "@" + argument bytes, behind "__imp_".
ULONGLONG(WINAPI* g_tickCount64Slot)() __asm__("__imp__GetTickCount64@0") = &TickCount64;
}
