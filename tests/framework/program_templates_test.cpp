// Every dialog of the program as the window layer makes it from its template: the caption, and
// each control with its id, text, state and the window object of its class.
#include <gtest/gtest.h>

#include <cstring>

#include "app/framework/framework.h"
#include "app/res/resource_ids.h"

namespace {

// Whether the control got the window object its class asks for.
bool HasWrapperOfClass(CWnd* pWnd, const char* lpszClass) {
    struct Row {
        const char* lpszClass;
        bool (*matches)(CWnd*);
    };
    static const Row rows[] = {
        {kClassButton, [](CWnd* w) { return dynamic_cast<CButton*>(w) != nullptr; }},
        {kClassStatic, [](CWnd* w) { return dynamic_cast<CStatic*>(w) != nullptr; }},
        {kClassEdit, [](CWnd* w) { return dynamic_cast<CEdit*>(w) != nullptr; }},
        {kClassListBox, [](CWnd* w) { return dynamic_cast<CListBox*>(w) != nullptr; }},
        {kClassComboBox, [](CWnd* w) { return dynamic_cast<CComboBox*>(w) != nullptr; }},
        {kClassTrackbar, [](CWnd* w) { return dynamic_cast<CSliderCtrl*>(w) != nullptr; }},
        {kClassTabControl, [](CWnd* w) { return dynamic_cast<CTabCtrl*>(w) != nullptr; }},
    };
    for (const Row& row : rows) {
        if (std::strcmp(row.lpszClass, lpszClass) == 0) {
            return row.matches(pWnd);
        }
    }
    return false;
}

// Controls whose window text is the template's text (pictures show an image, lists their items).
bool ShowsTemplateText(const DialogItemTemplate& item) {
    const DWORD type = item.dwStyle & SS_TYPEMASK;
    if (std::strcmp(item.lpszClass, kClassStatic) == 0) {
        return type != SS_BITMAP && type != SS_ICON;
    }
    return std::strcmp(item.lpszClass, kClassButton) == 0 ||
           std::strcmp(item.lpszClass, kClassEdit) == 0;
}

TEST(ProgramTemplates, EachDialogHasEveryControlOfItsTemplate) {
    for (UINT nID :
         {IDD_ABOUT, IDD_MAIN, IDD_CONFIRM_CLOCKS, IDD_HARDWARE_DETAILS, IDD_LARGE_CHART}) {
        SCOPED_TRACE(nID);
        const DialogTemplate* tmpl = FindDialogTemplate(nID);
        ASSERT_NE(tmpl, nullptr);
        CDialog dlg(nID);
        ASSERT_TRUE(dlg.Create(nID));
        CString text;
        dlg.GetWindowText(text);
        EXPECT_EQ(text, CString(tmpl->lpszCaption));
        for (std::size_t i = 0; i < tmpl->nItems; ++i) {
            const DialogItemTemplate& item = tmpl->pItems[i];
            if (item.nID == IDC_STATIC) {
                continue;
            }
            SCOPED_TRACE(item.nID);
            CWnd* control = dlg.GetDlgItem(item.nID);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(control->GetDlgCtrlID(), item.nID);
            EXPECT_TRUE(HasWrapperOfClass(control, item.lpszClass)) << item.lpszClass;
            EXPECT_EQ((control->GetStyle() & WS_VISIBLE) != 0, (item.dwStyle & WS_VISIBLE) != 0);
            EXPECT_EQ(control->IsWindowEnabled() != FALSE, (item.dwStyle & WS_DISABLED) == 0);
            if (ShowsTemplateText(item)) {
                control->GetWindowText(text);
                EXPECT_EQ(text, CString(item.lpszText));
            }
            if (std::strcmp(item.lpszClass, kClassListBox) == 0 &&
                (item.dwStyle & LBS_NOINTEGRALHEIGHT) == 0) {
                // Whole lines only, each a character cell of the list's font.
                CDC dc;
                ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
                dc.SelectObject(control->GetFont());
                RECT rc{};
                control->GetClientRect(&rc);
                EXPECT_EQ(rc.bottom % dc.GetTextExtent(CString("X")).cy, 0) << rc.bottom;
            }
        }
        dlg.DestroyWindow();
    }
}

}  // namespace
