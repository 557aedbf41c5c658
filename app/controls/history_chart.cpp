#include "app/controls/history_chart.h"

#include <algorithm>

namespace {

// One window class for every chart of the process.
LPCTSTR ChartClassName() {
    static const CString s_strClassName = CString("ZelHistoryChart");
    return s_strClassName.GetString();
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
    m_dcBuffer.DeleteDC();
    m_bmpBuffer.DeleteObject();
    m_dcBuffer.CreateCompatibleDC(nullptr);
    m_bmpBuffer.CreateCompatibleBitmap(&m_dcBuffer, w, h);
    m_dcBuffer.SelectObject(&m_bmpBuffer);
    FillGrid(0, w, h);
}

void CHistoryChart::FillGrid(int x, int width, int height) {
    const RECT strip{x, 0, x + width, height};
    // The cross hatch draws its lines over the background colour.
    CBrush brush(HS_CROSS, kGridColor);
    m_dcBuffer.SetBkColor(RGB(0, 0, 0));
    m_dcBuffer.FillRect(&strip, &brush);
}

void CHistoryChart::Init() {
    if (m_dcBuffer.GetSafeHdc() == nullptr) {
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
    if (m_dcBuffer.GetSafeHdc() == nullptr) {
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
    m_dcBuffer.BitBlt(0, 0, w, h, &m_dcBuffer, kScrollStep, 0, SRCCOPY);
    FillGrid(w - kScrollStep, kScrollStep, h);

    CPen penSeries0(PS_SOLID, 2, kSeries0Color);
    CPen* pOldPen = m_dcBuffer.SelectObject(&penSeries0);
    m_dcBuffer.MoveTo(w - kScrollStep, PixelRow(m_nPrev[0], 0, h));
    m_dcBuffer.LineTo(w, PixelRow(m_nCur[0], 0, h));
    m_dcBuffer.SelectObject(pOldPen);
    if (bBoth != 0) {
        CPen penSeries1(PS_SOLID, 2, kSeries1Color);
        pOldPen = m_dcBuffer.SelectObject(&penSeries1);
        m_dcBuffer.MoveTo(w - kScrollStep, PixelRow(m_nPrev[1], 1, h));
        m_dcBuffer.LineTo(w, PixelRow(m_nCur[1], 1, h));
        m_dcBuffer.SelectObject(pOldPen);
    }
}

void CHistoryChart::DrawLevel(int nLevel) {
    if (m_dcBuffer.GetSafeHdc() == nullptr) {
        return;
    }
    RECT rc{0, 0, 0, 0};
    GetClientRect(&rc);
    const int w = rc.right - rc.left;
    if (w <= 0) {
        return;
    }
    const int y = PixelRow(nLevel, 1, rc.bottom - rc.top);
    CPen pen(PS_SOLID, 1, kLevelColor);
    CPen* pOldPen = m_dcBuffer.SelectObject(&pen);
    m_dcBuffer.MoveTo(0, y);
    m_dcBuffer.LineTo(w, y);
    m_dcBuffer.SelectObject(pOldPen);
}

void CHistoryChart::OnPaint() {
    CPaintDC dc(this);
    if (m_dcBuffer.GetSafeHdc() == nullptr) {
        return;
    }
    RECT rc;
    GetClientRect(&rc);
    // One blit of the client size from the image's origin.
    dc.BitBlt(0, 0, rc.right - rc.left, rc.bottom - rc.top, &m_dcBuffer, 0, 0, SRCCOPY);
}
