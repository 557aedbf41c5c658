#include "app/controls/styled_static.h"

#include <QFontMetrics>
#include <QPainter>

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
      m_nAlign(kAlignLeft | kAlignTop) {
    m_font.CreateFontIndirect(&m_lf);
}

CStyledStatic::~CStyledStatic() {
    m_hBitmap = QImage();
    m_font.DeleteObject();
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
    m_hBitmap = QImage();
    if (nIDResource != -1) {
        m_hBitmap = LoadBitmapResource(nIDResource & 0xFFFF);
    }
    Invalidate(TRUE);
    return *this;
}

CStyledStatic& CStyledStatic::SetBitmap(const QImage& image) {
    m_hBitmap = image;
    Invalidate(TRUE);
    return *this;
}

CStyledStatic& CStyledStatic::SetStretch(BOOL bStretch) {
    m_bStretch = bStretch;
    if (!m_hBitmap.isNull()) {
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
    QPainter* painter = dc.GetPainter();
    if (painter == nullptr) {
        return;
    }
    const QString text = QString::fromUtf8(m_strText.GetString());
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

    const QFont oldFont = painter->font();
    const Qt::BGMode oldMode = painter->backgroundMode();
    painter->setFont(m_font.GetQFont());
    painter->setBackgroundMode(Qt::TransparentMode);

    CTextBlock block(painter, text, hAlign, vAlign);
    block.m_crText = m_crText;
    block.m_crBack = GetSysColor(COLOR_BTNFACE);
    block.m_bEmboss = (GetStyle() & WS_DISABLED) != 0 ? TRUE : FALSE;

    painter->fillRect(QRect(0, 0, w, h), ColorFromRef(GetSysColor(COLOR_BTNFACE)));

    const bool hasBitmap = !m_hBitmap.isNull();
    if (hasBitmap) {
        const int bw = m_hBitmap.width();
        const int bh = m_hBitmap.height();
        if (m_bStretch) {
            painter->drawImage(QRect(0, 0, w, h), m_hBitmap);
        } else {
            // Centred; a picture larger than the control shows its top-left part, moved in by a
            // quarter of the overhang.
            int x = (w - bw) / 2;
            int y = (h - bh) / 2;
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
            painter->drawImage(QPoint(x, y), m_hBitmap,
                               QRect(0, 0, std::min(dw, bw), std::min(dh, bh)));
        }
    }

    if (hasBitmap && (!text.contains(QLatin1Char('\n')) || vAlign == 0)) {
        // Straight onto the picture.
        painter->setPen(ColorFromRef(GetSysColor(COLOR_WINDOWTEXT)));
        QRect rect(0, 0, w, h);
        if (vAlign == 2) {
            rect.setTop(h - painter->fontMetrics().height());
        }
        DrawAlignedText(*painter, text, rect, hAlign, vAlign == 1);
    } else if (block.Build()) {
        block.Draw(0, 0, w, h);
    }

    painter->setFont(oldFont);
    painter->setBackgroundMode(oldMode);
}
