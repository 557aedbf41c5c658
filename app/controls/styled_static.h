// A static control that paints itself: a picture (centred, or stretched over the whole control)
// and a text in its own font, drawn straight onto the picture or as an aligned text block.
// Attach it to a template static with DDX_Control, then configure it with the chainable setters.
#pragma once

#include "app/framework/controls.h"
#include "app/framework/gdi.h"
#include "app/controls/control_tooltip.h"

class CStyledStatic : public CStatic {
public:
    // m_nAlign bits.
    static constexpr int kAlignLeft = 0x1;
    static constexpr int kAlignCentre = 0x2;
    static constexpr int kAlignRight = 0x4;
    static constexpr int kAlignTop = 0x8;
    static constexpr int kAlignMiddle = 0x10;
    static constexpr int kAlignBottom = 0x20;

    CStyledStatic();
    ~CStyledStatic() override;

    CStyledStatic& SetText(LPCTSTR lpszText);
    CStyledStatic& SetFontName(LPCTSTR lpszFaceName);
    // nHeight > 0 is a cell height, < 0 a character height, in pixels.
    CStyledStatic& SetFontSize(int nHeight);
    CStyledStatic& SetFontBold(BOOL bBold);
    // The program's bitmap resource nIDResource (low 16 bits), or none for -1.
    CStyledStatic& SetBitmap(int nIDResource);
    // A picture the program made itself, which the control then owns; null removes the picture.
    CStyledStatic& SetBitmap(HBITMAP hBitmap);
    CStyledStatic& SetStretch(BOOL bStretch);

    void PreSubclassWindow() override;

    COLORREF m_crText;     // colour of text drawn through the text block
    BOOL m_bInternalText;  // the control is changing or reading its own window text
    BOOL m_bStretch;
    LOGFONT m_lf;
    CFont m_font;
    HBITMAP m_hBitmap;  // the picture, owned by the control, or null for none
    int m_nAlign;       // kAlign* bits
    CString m_strText;
    CControlToolTip m_tip;  // never shown; kept with the control

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint();
    void OnEnable(BOOL bEnable);

    DECLARE_MESSAGE_MAP()

private:
    void RebuildFont();
    void DeleteBitmap();
    void RedrawNow();
};
