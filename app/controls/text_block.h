// Renders a possibly multi-line text as one block image (optionally in the disabled, embossed
// look) and copies it into a target rectangle with horizontal and vertical alignment.
#pragma once

#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <memory>

#include "app/framework/gdi.h"

class CTextBlock {
public:
    // hdcTarget: the painter the block is measured with (its font is the caller's) and drawn into.
    // nHAlign: 0 left, 1 centre, 2 right; nVAlign: 0 top, 1 middle, 2 bottom.
    CTextBlock(QPainter* hdcTarget, const QString& strText, int nHAlign, int nVAlign);
    virtual ~CTextBlock();

    CTextBlock(const CTextBlock&) = delete;
    CTextBlock& operator=(const CTextBlock&) = delete;

    // Renders the block image; FALSE (and no block) when the image cannot be made.
    BOOL Build();
    // Widest line's advance and tallest line's height with the painter's font; 0 x 0 for no lines.
    static SIZE Measure(QPainter* hdc, const QStringList& lines);
    // Copies the block, clipped to the rectangle, aligned inside it. Returns 0 when there is no
    // block, nonzero otherwise.
    int Draw(int left, int top, int right, int bottom);
    void Release();

    QPainter* m_hdcTarget;
    std::unique_ptr<QImage> m_hdcBlock;  // the finished block, or null
    RECT m_rcBlock;                      // (0, 0, width, height) of the block
    int m_nHAlign;
    int m_nVAlign;
    BOOL m_bEmboss;
    CString m_strText;
    COLORREF m_crBack;
    COLORREF m_crText;
};

// Draws text into rect with whole-pixel alignment (nHAlign 0 left, 1 centre, 2 right), clipped
// to rect. bSingleLineVCentre: one line, centred vertically; otherwise every line feed starts a
// new line from the top.
void DrawAlignedText(QPainter& painter, const QString& text, const QRect& rect, int nHAlign,
                     bool bSingleLineVCentre);
