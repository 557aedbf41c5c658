// Strings, fonts, brushes and drawing contexts in the framework's terms, backed by Qt.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <memory>

#include "app/framework/cstring.h"
#include "app/framework/win_types.h"

class QPainter;
class CWnd;

inline QColor ColorFromRef(COLORREF cr) {
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}
inline COLORREF RefFromColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

constexpr int LF_FACESIZE = 32;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

// A font description. lfHeight > 0 is a cell height, < 0 a character (em) height, in pixels.
struct LOGFONT {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};

// Stock objects.
constexpr int DEFAULT_GUI_FONT = 17;

// The description of a stock font (DEFAULT_GUI_FONT: the dialog face at 8 points).
LOGFONT GetStockLogFont(int nStockObject);
QFont FontFromLogFont(const LOGFONT& lf);
LOGFONT LogFontFromFont(const QFont& font);

class CFont {
public:
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont);
    BOOL CreatePointFont(int nPointSize10, LPCTSTR lpszFaceName);
    BOOL DeleteObject();
    int GetLogFont(LOGFONT* pLogFont) const;
    BOOL IsCreated() const { return m_bCreated; }
    const QFont& GetQFont() const { return m_font; }
    void FromQFont(const QFont& font) {
        m_font = font;
        m_bCreated = TRUE;
    }

private:
    QFont m_font;
    BOOL m_bCreated = FALSE;
};

class CBrush {
public:
    CBrush() = default;
    explicit CBrush(COLORREF cr) { CreateSolidBrush(cr); }
    BOOL CreateSolidBrush(COLORREF cr) {
        m_cr = cr;
        m_bCreated = TRUE;
        return TRUE;
    }
    BOOL DeleteObject() {
        const BOOL had = m_bCreated;
        m_bCreated = FALSE;
        return had;
    }
    COLORREF GetColor() const { return m_cr; }
    BOOL IsCreated() const { return m_bCreated; }

private:
    COLORREF m_cr = 0;
    BOOL m_bCreated = FALSE;
};
using HBRUSH = CBrush*;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// A drawing context: a painter (null for a pure colour request) plus the text state that the
// colour requests and text drawing use.
class CDC {
public:
    CDC() = default;
    explicit CDC(QPainter* painter) : m_pPainter(painter) {}
    virtual ~CDC() = default;

    QPainter* GetPainter() const { return m_pPainter; }
    COLORREF SetTextColor(COLORREF cr) {
        const COLORREF old = m_crText;
        m_crText = cr;
        m_bTextColorSet = TRUE;
        return old;
    }
    COLORREF SetBkColor(COLORREF cr) {
        const COLORREF old = m_crBack;
        m_crBack = cr;
        m_bBkColorSet = TRUE;
        return old;
    }
    int SetBkMode(int nMode) {
        const int old = m_nBkMode;
        m_nBkMode = nMode;
        return old;
    }
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF GetBkColor() const { return m_crBack; }
    int GetBkMode() const { return m_nBkMode; }
    BOOL TextColorSet() const { return m_bTextColorSet; }
    BOOL BkColorSet() const { return m_bBkColorSet; }

protected:
    QPainter* m_pPainter = nullptr;
    COLORREF m_crText = 0;
    COLORREF m_crBack = RGB(255, 255, 255);
    int m_nBkMode = OPAQUE;
    BOOL m_bTextColorSet = FALSE;
    BOOL m_bBkColorSet = FALSE;
};

// Paint context of one WM_PAINT: a painter on the window, origin at the client area's top-left
// and clipped to it. Only valid inside an OnPaint handler.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

private:
    std::unique_ptr<QPainter> m_painter;
};
