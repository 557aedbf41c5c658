// A dialog template with one control of every kind, for the window layer's tests.
#pragma once

#include <iterator>

#include "app/framework/dialog_template.h"

inline constexpr UINT kTestTemplate = 9001;
inline constexpr DWORD kTestChild = WS_CHILD | WS_VISIBLE;

inline const DialogItemTemplate kTestItems[] = {
    {IDOK, kClassButton, "OK", kTestChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 10, 80, 50, 14, 0},
    {IDCANCEL, kClassButton, "Cancel", kTestChild | WS_TABSTOP, 0, 70, 80, 50, 14, 0},
    {10, kClassButton, "&Go", kTestChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 130, 80, 50, 14, 0},
    {11, kClassButton, "Check", kTestChild | BS_AUTOCHECKBOX, 0, 10, 5, 60, 10, 0},
    {12, kClassStatic, "Label", kTestChild | SS_LEFT, 0, 80, 5, 60, 10, 0},
    {13, kClassListBox, "", kTestChild | LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_BORDER, 0, 10, 20,
     60, 40, 0},
    {14, kClassComboBox, "", kTestChild | CBS_DROPDOWN | CBS_SORT, 0, 80, 20, 60, 40, 0},
    {15, kClassTrackbar, "", kTestChild | TBS_BOTH | TBS_NOTICKS, 0, 80, 40, 100, 12, 0},
    {16, kClassTabControl, "", kTestChild, 0, 150, 5, 50, 30, 0},
    {17, kClassEdit, "", kTestChild | ES_READONLY | ES_CENTER | WS_BORDER, 0, 150, 40, 40, 12, 0},
    {18, kClassStatic, "", kTestChild | SS_NOTIFY | SS_BLACKRECT, 0, 150, 60, 30, 15, 0},
};

inline const DialogTemplate kTestDialog = {kTestTemplate,
                                           "Test",
                                           "Tahoma",
                                           10,
                                           WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                           0,
                                           200,
                                           100,
                                           kTestItems,
                                           std::size(kTestItems)};
