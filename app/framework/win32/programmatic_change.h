// While the program itself changes a control (its text), the notifications the control sends
// about it do not reach the program's handlers: only a person's changes are reported.
#pragma once

#include <windows.h>

class ProgrammaticChange {
public:
    explicit ProgrammaticChange(HWND hWnd);
    ~ProgrammaticChange();
    ProgrammaticChange(const ProgrammaticChange&) = delete;
    ProgrammaticChange& operator=(const ProgrammaticChange&) = delete;
    static bool Active(HWND hWnd);

private:
    HWND m_hWnd;
};
