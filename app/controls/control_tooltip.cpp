#include "app/controls/control_tooltip.h"

#include "app/framework/app.h"

namespace {

constexpr UINT_PTR kTipTimer = 1;

// Registered once per process, by the first tool tip constructed.
bool g_bClassRegistered = false;
const ToolTipWindowClass kToolTipClass = {kToolTipClassName, CS_DBLCLKS | CS_SAVEBITS,
                                          COLOR_INFOBK + 1, IDC_ARROW};

void RegisterToolTipClass() {
    if (!g_bClassRegistered) {
        g_bClassRegistered = true;
    }
}

}  // namespace

const ToolTipWindowClass* FindToolTipWindowClass() {
    return g_bClassRegistered ? &kToolTipClass : nullptr;
}

BEGIN_MESSAGE_MAP(CControlToolTip, CWnd)
ON_WM_TIMER()
ON_WM_PAINT()
END_MESSAGE_MAP()

CControlToolTip::CControlToolTip()
    : m_pOwner(nullptr),
      m_rcTip{0, 0, 0, 0},
      m_nPlacement(0),
      m_clrText(GetSysColor(COLOR_INFOTEXT)),
      m_clrBack(GetSysColor(COLOR_INFOBK)),
      m_bFill(0),
      m_bNeedButton(1),
      m_bLeftButton(1) {
    RegisterToolTipClass();
}

CControlToolTip::~CControlToolTip() {
    if (GetSafeHwnd() != nullptr) {
        ShowWindow(SW_HIDE);
        DestroyWindow();
    }
}

BOOL CControlToolTip::Create(CWnd* pOwner) {
    if (pOwner == nullptr || GetSafeHwnd() != nullptr) {
        return FALSE;
    }
    const RECT rc{0, 0, m_rcTip.right - m_rcTip.left, m_rcTip.bottom - m_rcTip.top};
    // A top-level popup of its own that never takes activation.
    if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kToolTipClass.lpszClassName,
                  "", WS_POPUP, rc, nullptr, 0)) {
        return FALSE;
    }
    m_pOwner = pOwner;
    return TRUE;
}

void CControlToolTip::Show() {
    if (m_strText.IsEmpty()) {
        ShowWindow(SW_HIDE);
        return;
    }
    // Nothing to place the tip against (or nothing to show) before Create.
    if (m_pOwner == nullptr || GetSafeHwnd() == nullptr) {
        return;
    }
    RECT client;
    m_pOwner->GetClientRect(&client);
    const int width = m_rcTip.right - m_rcTip.left;
    const int height = m_rcTip.bottom - m_rcTip.top;
    POINT anchor{client.left, client.top};
    if (m_nPlacement == 1) {
        anchor.y += client.bottom - client.top;
    } else if (m_nPlacement == 2) {
        anchor.y -= height;
    }
    m_pOwner->ClientToScreen(&anchor);
    // A tool-tip window stays above the other windows by its kind, without taking activation.
    MoveWindow(anchor.x, anchor.y, width, height, FALSE);
    ShowWindow(SW_SHOWNA);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CControlToolTip::Hide() {
    ShowWindow(SW_HIDE);
    KillTimer(kTipTimer);
    m_pOwner = nullptr;
    DestroyWindow();
}

void CControlToolTip::Enable() {
    EnableWindow(TRUE);
}

void CControlToolTip::Disable() {
    EnableWindow(FALSE);
}

POINT CControlToolTip::QueryCursorPos() const {
    POINT p{0, 0};
    ::GetCursorPos(&p);
    return p;
}

BOOL CControlToolTip::IsButtonHeld(BOOL bLeft) const {
    // Any bit but the toggle bit means the button is down.
    return (::GetKeyState(bLeft ? VK_LBUTTON : VK_RBUTTON) & ~1) != 0 ? TRUE : FALSE;
}

HWND CControlToolTip::QueryFocusWindow() const {
    return ::GetFocus();
}

void CControlToolTip::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kTipTimer && m_pOwner != nullptr && m_pOwner->GetSafeHwnd() != nullptr) {
        const HWND focus = QueryFocusWindow();
        const HWND focusParent = focus != nullptr ? ::GetParent(focus) : nullptr;
        const HWND ownerParent = ::GetParent(m_pOwner->GetSafeHwnd());
        const BOOL pressed = m_bNeedButton == 0 ? TRUE : IsButtonHeld(m_bLeftButton != 0);
        RECT owner;
        m_pOwner->GetWindowRect(&owner);
        const POINT cursor = QueryCursorPos();
        // Edges included on all four sides.
        const bool over = cursor.x >= owner.left && cursor.x <= owner.right &&
                          cursor.y >= owner.top && cursor.y <= owner.bottom;
        const bool visible = IsWindowVisible() != FALSE;
        // Compared as they are: an owner without a parent matches "no focus anywhere".
        const bool sameDialog = focusParent == ownerParent;
        if (over && pressed) {
            if (!visible && sameDialog) {
                Show();
            } else if (visible && !sameDialog) {
                ShowWindow(SW_HIDE);
            }
        } else if (visible) {
            ShowWindow(SW_HIDE);
        }
    }
    CWnd::OnTimer(nIDEvent);
}

void CControlToolTip::OnPaint() {
    CPaintDC dc(this);
    if (dc.GetSafeHdc() == nullptr) {
        return;
    }
    RECT client;
    GetClientRect(&client);
    // The class background comes first, as the window's erase would paint it.
    dc.FillSolidRect(0, 0, client.right, client.bottom, GetSysColor(kToolTipClass.nBackground - 1));
    LOGFONT lf = GetStockLogFont(DEFAULT_GUI_FONT);
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* pOldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    // Without a fill the context's default colour (black) writes the text.
    if (m_bFill == 1) {
        dc.FillSolidRect(&m_rcTip, m_clrBack);
        dc.SetTextColor(m_clrText);
    }
    RECT rcTip = m_rcTip;
    // Lines of a tip are spaced with the font's leading.
    dc.DrawText(m_strText, &rcTip, DT_LEFT | DT_TOP | DT_EXTERNALLEADING);
    dc.SelectObject(pOldFont);
}
