// A small tip window that belongs to one control: while its timer runs it appears next to the
// owner when the cursor is over the owner (optionally only while a mouse button is held) and the
// owner's dialog has the focus. Its windows are of the process-wide class "ControlToolTip".
#pragma once

#include "app/framework/input_state.h"
#include "app/framework/wnd.h"

// The registration record of the tip's window class.
struct ToolTipWindowClass {
    const char* lpszClassName;
    UINT style;
    int nBackground;  // system colour index + 1 of the background brush
    LPCTSTR cursor;
};

inline constexpr const char* kToolTipClassName = "ControlToolTip";

// The registered class, or null while no tool tip has been constructed in this process.
const ToolTipWindowClass* FindToolTipWindowClass();

class CControlToolTip : public CWnd {
public:
    CControlToolTip();
    ~CControlToolTip() override;

    // Makes the (hidden) tip window of class "ControlToolTip" for pOwner. The tip appears only
    // once something runs its timer 1 (SetTimer) and gives it a text.
    BOOL Create(CWnd* pOwner);
    // Places the tip next to its owner and shows it without activating it; hides it when there
    // is no text.
    void Show();
    // Hides the tip, stops its timer, forgets the owner and destroys the window.
    void Hide();
    void Enable();
    void Disable();

    CWnd* m_pOwner;
    CString m_strText;
    RECT m_rcTip;      // text rectangle; its width and height are the window's size
    int m_nPlacement;  // 0 at the owner's top-left, 1 just below it, 2 just above it
    COLORREF m_clrText;
    COLORREF m_clrBack;
    int m_bFill;        // 1: paint the background and use m_clrText
    int m_bNeedButton;  // 1: show only while a mouse button is held
    int m_bLeftButton;  // 1: the left button, 0: the right one

protected:
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();

    // What the timer looks at; tests replace them to play the user's hand.
    virtual POINT QueryCursorPos() const;
    virtual BOOL IsButtonHeld(BOOL bLeft) const;
    virtual HWND QueryFocusWindow() const;

    DECLARE_MESSAGE_MAP()
};
