#include <windows.h>

#include "tools/kestctl/interrupts.h"

namespace {

HANDLE g_event = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD type) {
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) {
        SetEvent(g_event);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

Interrupts::Interrupts() {
    g_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

Interrupts::~Interrupts() {
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    CloseHandle(g_event);
    g_event = nullptr;
}

bool Interrupts::Arrived() const {
    return WaitForSingleObject(g_event, 0) == WAIT_OBJECT_0;
}

// Answers on a Windows console are not waited for: only the signal and the time end a wait.
Interrupts::Wake Interrupts::Wait(int ms, int /*inputFd*/) const {
    DWORD limit = ms < 0 ? INFINITE : static_cast<DWORD>(ms);
    return WaitForSingleObject(g_event, limit) == WAIT_OBJECT_0 ? Wake::kInterrupt : Wake::kTimeout;
}
