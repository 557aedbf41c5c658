// A small oscilloscope-style strip chart: up to two value histories drawn as lines over a dark
// green grid on black, scrolling left by one grid period for every sample added. Values are
// positions 0..100 measured from the top (0 = top edge, 100 = bottom edge); callers do their own
// scaling.
#pragma once

#include "app/framework/gdi.h"
#include "app/framework/wnd.h"

class CHistoryChart : public CWnd {
public:
    CHistoryChart();
    ~CHistoryChart() override;

    // A child window with WS_EX_CLIENTEDGE | WS_EX_STATICEDGE and no title; rect is in the
    // parent's client pixels.
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Makes the off-screen image (once) and fills it with the grid; invalidates the window.
    void Init();
    // Starts a new history: a fresh image at the current client size, both series at 100.
    void Reset();
    // Clamps the position into the series' range and makes it the series' newest position;
    // returns the newest position from before the call. Invalidates the window.
    int SetValue(int nSeries, int nValue);
    // Scrolls the image left by one step and draws the newest segment of series 0, and of
    // series 1 too when bBoth is non-zero. Does not invalidate: SetValue has.
    void AddSegment(int bBoth);
    // Draws a level line across the image. It scrolls away with the image, so callers redraw it
    // after every segment.
    void DrawLevel(int nLevel);

    // Tells assistive technology what the newest segment shows, in the program's own words; the
    // chart's description lists the last few readings, newest first, so the trend can be read
    // without seeing the curve. Reset forgets them.
    void NoteReading(const CString& text);

    // The off-screen image (no handle before Init/Reset), for tests and screenshots.
    const CBitmap& GetBitmap() const { return m_bmpBuffer; }

    static constexpr int kScrollStep = 8;  // one grid period, so the grid stays continuous
    static constexpr COLORREF kGridColor = RGB(0, 128, 0);
    static constexpr COLORREF kSeries0Color = RGB(0, 255, 0);
    static constexpr COLORREF kSeries1Color = RGB(255, 255, 0);
    static constexpr COLORREF kLevelColor = RGB(128, 0, 0);

protected:
    void OnPaint();

private:
    // Makes a new image of the client size filled with the grid.
    void MakeImage();
    // Fills a strip of the image, the full height, with the grid on black.
    void FillGrid(int x, int width, int height);
    // Row of a position for a client height: the product first, then truncating division.
    int PixelRow(int nPosition, int nSeries, int nHeight) const;

    int m_nPrev[2];  // start of the next segment, per series
    int m_nMin[2];
    int m_nMax[2];        // also the scale divisor
    CBitmap m_bmpBuffer;  // the off-screen image, the size of the client area
    CDC m_dcBuffer;       // memory context with m_bmpBuffer selected
    int m_nCur[2];        // end of the next segment, per series
    static constexpr int kNotedReadings = 5;
    CString m_strReadings[kNotedReadings];  // newest first
    int m_nReadings = 0;

    DECLARE_MESSAGE_MAP()
};
