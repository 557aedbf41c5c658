#include "app/controls/history_chart.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cstring>

namespace {

// One window class for every chart of the process.
LPCTSTR ChartClassName() {
    static const CString s_strClassName = CString("ZelHistoryChart");
    return s_strClassName;
}

QPen SeriesPen(COLORREF cr, int nWidth) {
    // Round ends like a wide GDI pen, so consecutive segments join without gaps.
    return QPen(ColorFromRef(cr), nWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace

BEGIN_MESSAGE_MAP(CHistoryChart, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

CHistoryChart::CHistoryChart()
    : m_nPrev{100, 100}, m_nMin{0, 0}, m_nMax{100, 100}, m_nCur{100, 100} {}

CHistoryChart::~CHistoryChart() = default;

BOOL CHistoryChart::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateEx(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, ChartClassName(), nullptr, dwStyle, rect,
                    pParentWnd, nID);
}

void CHistoryChart::MakeImage() {
    RECT rc{0, 0, 0, 0};
    if (GetSafeHwnd() != nullptr) {
        GetClientRect(&rc);
    }
    // A window without height still gets an image, so drawing has somewhere to go: every line
    // then lies on row 0.
    const int w = std::max<int>(rc.right - rc.left, 1);
    const int h = std::max<int>(rc.bottom - rc.top, 1);
    m_bmpBuffer = QImage(w, h, QImage::Format_RGB32);
    QPainter painter(&m_bmpBuffer);
    FillGrid(painter, 0, w, h);
}

void CHistoryChart::FillGrid(QPainter& painter, int x, int width, int height) {
    const QRect strip(x, 0, width, height);
    // The cross pattern draws only its lines: the background colour comes first.
    painter.fillRect(strip, Qt::black);
    painter.fillRect(strip, QBrush(ColorFromRef(kGridColor), Qt::CrossPattern));
}

void CHistoryChart::Init() {
    if (m_bmpBuffer.isNull()) {
        MakeImage();
    }
    Invalidate(TRUE);
}

void CHistoryChart::Reset() {
    MakeImage();
    for (int i = 0; i < 2; ++i) {
        m_nPrev[i] = 100;
        m_nCur[i] = 100;
        m_nMax[i] = 100;
        m_nMin[i] = 0;
    }
    m_nReadings = 0;
    SetAccessibleDescription(CString());
    Invalidate(TRUE);
}

void CHistoryChart::NoteReading(const CString& text) {
    m_nReadings = std::min(m_nReadings + 1, kNotedReadings);
    std::move_backward(m_strReadings, m_strReadings + m_nReadings - 1, m_strReadings + m_nReadings);
    m_strReadings[0] = text;
    CString description("Newest first: ");
    for (int i = 0; i < m_nReadings; ++i) {
        description += (i == 0 ? "" : "; ") + m_strReadings[i];
    }
    SetAccessibleDescription(description);
}

int CHistoryChart::SetValue(int nSeries, int nValue) {
    if (nSeries < 0 || nSeries > 1) {
        return 0;  // there are two series; anything else is ignored
    }
    if (nValue > m_nMax[nSeries]) {
        nValue = m_nMax[nSeries];
    }
    if (nValue < m_nMin[nSeries]) {
        nValue = m_nMin[nSeries];
    }
    const int nOld = m_nCur[nSeries];
    m_nPrev[nSeries] = nOld;
    m_nCur[nSeries] = nValue;
    Invalidate(TRUE);
    return nOld;
}

int CHistoryChart::PixelRow(int nPosition, int nSeries, int nHeight) const {
    const int nMax = m_nMax[nSeries];
    if (nMax == 0) {
        return 0;
    }
    return static_cast<int>(static_cast<long long>(nPosition) * nHeight / nMax);
}

void CHistoryChart::AddSegment(int bBoth) {
    if (m_bmpBuffer.isNull()) {
        return;
    }
    // The window's client size, not the image's: after a resize the visible part (painting
    // copies the client size from the image's origin) keeps receiving the new segments, and
    // whatever falls outside the image is simply not drawn.
    RECT rc{0, 0, 0, 0};
    GetClientRect(&rc);
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;

    // Scroll left by one step: a blit of the image onto itself, clipped to the image.
    const int nColumns = std::min(w, m_bmpBuffer.width() - kScrollStep);
    const int nRows = std::min(h, m_bmpBuffer.height());
    if (nColumns > 0) {
        const size_t nBytes = static_cast<size_t>(nColumns) * sizeof(QRgb);
        for (int y = 0; y < nRows; ++y) {
            uchar* line = m_bmpBuffer.scanLine(y);
            std::memmove(line, line + kScrollStep * sizeof(QRgb), nBytes);
        }
    }

    QPainter painter(&m_bmpBuffer);
    FillGrid(painter, w - kScrollStep, kScrollStep, h);
    painter.setPen(SeriesPen(kSeries0Color, 2));
    painter.drawLine(w - kScrollStep, PixelRow(m_nPrev[0], 0, h), w, PixelRow(m_nCur[0], 0, h));
    if (bBoth != 0) {
        painter.setPen(SeriesPen(kSeries1Color, 2));
        painter.drawLine(w - kScrollStep, PixelRow(m_nPrev[1], 1, h), w, PixelRow(m_nCur[1], 1, h));
    }
}

void CHistoryChart::DrawLevel(int nLevel) {
    if (m_bmpBuffer.isNull()) {
        return;
    }
    RECT rc{0, 0, 0, 0};
    GetClientRect(&rc);
    const int w = rc.right - rc.left;
    if (w <= 0) {
        return;
    }
    const int y = PixelRow(nLevel, 1, rc.bottom - rc.top);
    QPainter painter(&m_bmpBuffer);
    painter.setPen(QPen(ColorFromRef(kLevelColor), 1));
    // A one-pixel line from the left edge up to, not including, x = w.
    painter.drawLine(0, y, w - 1, y);
}

void CHistoryChart::OnPaint() {
    CPaintDC dc(this);
    if (m_bmpBuffer.isNull() || dc.GetPainter() == nullptr) {
        return;
    }
    RECT rc;
    GetClientRect(&rc);
    // One blit of the client size from the image's origin.
    dc.GetPainter()->drawImage(QPoint(0, 0), m_bmpBuffer,
                               QRect(0, 0, rc.right - rc.left, rc.bottom - rc.top));
}
