#include "app/controls/styled_static.h"

#include <algorithm>
#include <cstring>

#include "app/controls/text_block.h"
#include "app/framework/app.h"

namespace {

// Every change shows at once.
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

// The horizontal part of a static's style: SS_CENTER, SS_RIGHT.
constexpr DWORD kStyleCentre = 0x1;
constexpr DWORD kStyleRight = 0x2;

constexpr int kHorizontalBits =
    CStyledStatic::kAlignLeft | CStyledStatic::kAlignCentre | CStyledStatic::kAlignRight;
constexpr int kVerticalBits =
    CStyledStatic::kAlignTop | CStyledStatic::kAlignMiddle | CStyledStatic::kAlignBottom;

}  // namespace

BEGIN_MESSAGE_MAP(CStyledStatic, CStatic)
ON_WM_PAINT()
ON_WM_ENABLE()
END_MESSAGE_MAP()

CStyledStatic::CStyledStatic()
    : m_crText(GetSysColor(COLOR_WINDOWTEXT)),
      m_bInternalText(FALSE),
      m_bStretch(FALSE),
      m_lf(GetStockLogFont(DEFAULT_GUI_FONT)),
      m_hBitmap(nullptr),
      m_nAlign(kAlignLeft | kAlignTop) {
    m_font.CreateFontIndirect(&m_lf);
}

CStyledStatic::~CStyledStatic() {
    DeleteBitmap();
    m_font.DeleteObject();
}

void CStyledStatic::DeleteBitmap() {
    if (m_hBitmap != nullptr) {
        ::DeleteObject(m_hBitmap);
        m_hBitmap = nullptr;
    }
}

void CStyledStatic::RedrawNow() {
    if (GetSafeHwnd() == nullptr) {
        return;
    }
    RedrawWindow(nullptr, nullptr, kRedrawNow);
    UpdateWindow();
}

void CStyledStatic::RebuildFont() {
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_lf);
    RedrawNow();
}

CStyledStatic& CStyledStatic::SetText(LPCTSTR lpszText) {
    m_strText = lpszText;
    m_bInternalText = TRUE;
    SetWindowText(lpszText);
    m_bInternalText = FALSE;
    RedrawNow();
    return *this;
}

CStyledStatic& CStyledStatic::SetFontName(LPCTSTR lpszFaceName) {
    std::memset(m_lf.lfFaceName, 0, sizeof(m_lf.lfFaceName));
    std::strncpy(m_lf.lfFaceName, lpszFaceName != nullptr ? lpszFaceName : "", LF_FACESIZE - 1);
    RebuildFont();
    return *this;
}

CStyledStatic& CStyledStatic::SetFontSize(int nHeight) {
    m_lf.lfHeight = nHeight;
    RebuildFont();
    return *this;
}

CStyledStatic& CStyledStatic::SetFontBold(BOOL bBold) {
    m_lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    return *this;
}

CStyledStatic& CStyledStatic::SetBitmap(int nIDResource) {
    DeleteBitmap();
    CBitmap picture;
    if (nIDResource != -1 && picture.LoadBitmap(static_cast<UINT>(nIDResource & 0xFFFF))) {
        m_hBitmap = static_cast<HBITMAP>(picture.Detach());
    }
    Invalidate(TRUE);
    return *this;
}

CStyledStatic& CStyledStatic::SetBitmap(HBITMAP hBitmap) {
    DeleteBitmap();
    m_hBitmap = hBitmap;
    Invalidate(TRUE);
    return *this;
}

CStyledStatic& CStyledStatic::SetStretch(BOOL bStretch) {
    m_bStretch = bStretch;
    if (m_hBitmap != nullptr) {
        RedrawNow();
    }
    return *this;
}

void CStyledStatic::PreSubclassWindow() {
    CStatic::PreSubclassWindow();
    // Clicks reach the parent as STN_CLICKED.
    ModifyStyle(0, SS_NOTIFY);
    const DWORD style = GetStyle();
    if ((style & kStyleCentre) != 0) {
        m_nAlign = (m_nAlign & ~kHorizontalBits) | kAlignCentre;
    }
    if ((style & kStyleRight) != 0) {
        m_nAlign = (m_nAlign & ~kHorizontalBits) | kAlignRight;
    }
    if ((style & SS_CENTERIMAGE) != 0) {
        m_nAlign = (m_nAlign & ~kVerticalBits) | kAlignMiddle;
    }
    m_bInternalText = TRUE;
    GetWindowText(m_strText);
    m_bInternalText = FALSE;
}

LRESULT CStyledStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_bInternalText) {
        if (message == WM_SETTEXT) {
            // Text set from outside is what the control paints, too.
            m_strText = reinterpret_cast<const char*>(lParam);
        } else if (message == WM_GETTEXT) {
            auto* buffer = reinterpret_cast<char*>(lParam);
            const int size = static_cast<int>(wParam);
            // A buffer without room for the terminating zero receives nothing.
            if (buffer == nullptr || size <= 0) {
                return 0;
            }
            const int n = std::min(size - 1, m_strText.GetLength());
            std::memcpy(buffer, m_strText.GetString(), static_cast<std::size_t>(n));
            buffer[n] = '\0';
            return n;
        }
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

void CStyledStatic::OnEnable(BOOL /*bEnable*/) {
    // One repaint for the state change, not the default drawing and then ours.
    SendMessage(WM_SETREDRAW, FALSE);
    Default();
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate(TRUE);
}

void CStyledStatic::OnPaint() {
    CPaintDC dc(this);
    if (dc.GetSafeHdc() == nullptr) {
        return;
    }
    const CString text = m_strText;
    RECT client;
    GetClientRect(&client);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;

    int hAlign = 0;
    if ((m_nAlign & kAlignCentre) != 0) {
        hAlign = 1;
    }
    if ((m_nAlign & kAlignRight) != 0) {
        hAlign = 2;
    }
    int vAlign = 0;
    if ((m_nAlign & kAlignMiddle) != 0) {
        vAlign = 1;
    }
    if ((m_nAlign & kAlignBottom) != 0) {
        vAlign = 2;
    }

    CFont* pOldFont = dc.SelectObject(&m_font);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);

    CTextBlock block(&dc, text, hAlign, vAlign);
    block.m_crText = m_crText;
    block.m_crBack = GetSysColor(COLOR_BTNFACE);
    block.m_bEmboss = (GetStyle() & WS_DISABLED) != 0 ? TRUE : FALSE;

    {
        CBrush brushFace(GetSysColor(COLOR_BTNFACE));
        dc.FillRect(&client, &brushFace);
    }

    if (m_hBitmap != nullptr) {
        CBitmap picture;
        picture.Attach(m_hBitmap);
        BITMAP bm{};
        picture.GetBitmap(&bm);
        CDC dcPicture;
        dcPicture.CreateCompatibleDC(&dc);
        CBitmap* pOldBitmap = dcPicture.SelectObject(&picture);
        if (m_bStretch) {
            dc.StretchBlt(0, 0, w, h, &dcPicture, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        } else {
            // Centred; a picture larger than the control shows its top-left part, moved in by a
            // quarter of the overhang.
            int x = (w - bm.bmWidth) / 2;
            int y = (h - bm.bmHeight) / 2;
            int dw = w;
            int dh = h;
            if (x < 0) {
                x = -(x / 2);
                dw = w - x;
            }
            if (y < 0) {
                y = -(y / 2);
                dh = h - y;
            }
            dc.BitBlt(x, y, dw, dh, &dcPicture, 0, 0, SRCCOPY);
        }
        dcPicture.SelectObject(pOldBitmap);
        picture.Detach();
    }

    if (m_hBitmap != nullptr && (text.Find('\n') < 0 || vAlign == 0)) {
        // Straight onto the picture.
        dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        UINT nFormat = static_cast<UINT>(hAlign);
        RECT rect = client;
        if (vAlign == 1) {
            nFormat |= DT_VCENTER | DT_SINGLELINE;
        } else if (vAlign == 2) {
            rect.top = h - dc.GetTextExtent(text).cy;
        }
        dc.DrawText(text, &rect, nFormat);
    } else if (block.Build()) {
        block.Draw(0, 0, w, h);
    }

    dc.SelectObject(pOldFont);
    dc.SetBkMode(nOldMode);
}
