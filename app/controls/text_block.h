// Renders a possibly multi-line text as one block image (optionally in the disabled, embossed
// look) and copies it into a target rectangle with horizontal and vertical alignment.
#pragma once

#include <memory>
#include <vector>

#include "app/framework/gdi.h"

class CTextBlock {
public:
    // hdcTarget: the context the block is measured with (its font is the caller's) and drawn
    // into. nHAlign: 0 left, 1 centre, 2 right; nVAlign: 0 top, 1 middle, 2 bottom.
    CTextBlock(CDC* hdcTarget, const CString& strText, int nHAlign, int nVAlign);
    virtual ~CTextBlock();

    CTextBlock(const CTextBlock&) = delete;
    CTextBlock& operator=(const CTextBlock&) = delete;

    // Renders the block image; FALSE (and no block) when the image cannot be made.
    BOOL Build();
    // Widest line's advance and tallest line's height in the context's font; 0 x 0 for no lines.
    static SIZE Measure(CDC* hdc, const std::vector<CString>& lines);
    // Copies the block, clipped to the rectangle, aligned inside it. Returns 0 when there is no
    // block, nonzero otherwise.
    int Draw(int left, int top, int right, int bottom);
    void Release();

    CDC* m_hdcTarget;
    std::unique_ptr<CDC> m_hdcBlock;  // memory context holding the finished block, or null
    CBitmap m_bmpBlock;               // the block's image, selected into m_hdcBlock
    RECT m_rcBlock;                   // (0, 0, width, height) of the block
    int m_nHAlign;
    int m_nVAlign;
    BOOL m_bEmboss;
    CString m_strText;
    COLORREF m_crBack;
    COLORREF m_crText;
};
