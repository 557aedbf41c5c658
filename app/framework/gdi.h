// Drawing in the Windows way: GDI objects (pens, brushes, fonts, bitmaps) and device contexts
// that draw with them. On Windows the handles, records and constants are the system's own; a back
// end elsewhere provides the same names with the same values. Nothing here names the back end.
#pragma once

#include "app/framework/cstring.h"
#include "app/framework/win_types.h"

#ifndef _WIN32
// Opaque handles; their records belong to the back end.
using HGDIOBJ = void*;
struct HDC__;
struct HPEN__;
struct HBRUSH__;
struct HFONT__;
struct HBITMAP__;
using HDC = HDC__*;
using HPEN = HPEN__*;
using HBRUSH = HBRUSH__*;
using HFONT = HFONT__*;
using HBITMAP = HBITMAP__*;
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using ULONG_PTR = std::uintptr_t;

constexpr int LF_FACESIZE = 32;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
// lfQuality: glyphs drawn in the text colour only, without smoothed edges.
constexpr BYTE NONANTIALIASED_QUALITY = 3;

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

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

// Stock objects.
constexpr int DEFAULT_GUI_FONT = 17;

// Pen styles.
constexpr int PS_SOLID = 0;

// Brush styles and hatch patterns.
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_HATCHED = 2;
constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_CROSS = 4;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Raster operations.
constexpr DWORD SRCCOPY = 0x00CC0020;

// DrawText formats.
constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_EXTERNALLEADING = 0x200;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// The record of a pen, brush, font or bitmap handle; cbBuffer is the size of the record asked for.
int GetObject(HGDIOBJ hObject, int cbBuffer, LPVOID lpvObject);
BOOL DeleteObject(HGDIOBJ hObject);
#endif  // _WIN32

// The description of a stock font (DEFAULT_GUI_FONT: the dialog face at 8 points).
LOGFONT GetStockLogFont(int nStockObject);

class CDC;

// Owns one GDI handle and deletes it with the object, unless detached.
class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    // Whether the object holds a handle.
    BOOL IsCreated() const { return m_hObject != nullptr ? TRUE : FALSE; }

    HGDIOBJ m_hObject = nullptr;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    CBrush(int nIndex, COLORREF crColor) { CreateHatchBrush(nIndex, crColor); }
    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor);
    int GetLogBrush(LOGBRUSH* pLogBrush) const;
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont);
    // nPointSize10: tenths of a point.
    BOOL CreatePointFont(int nPointSize10, LPCTSTR lpszFaceName);
    int GetLogFont(LOGFONT* pLogFont) const;
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBitmap : public CGdiObject {
public:
    // A bitmap of the screen's colour format for drawing through a memory context.
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    // The program's bitmap resource nIDResource.
    BOOL LoadBitmap(UINT nIDResource);
    int GetBitmap(BITMAP* pBitMap) const;
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

// A device context: a window's client area while it paints, a memory context with a bitmap
// selected, or (without a handle) only the text state that a colour request fills in.
class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    // A memory context; pDC (or null for the screen) tells which window's defaults it takes.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    // Each returns the object selected before, or null for the context's default one.
    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    CFont* SelectObject(CFont* pFont);
    CBitmap* SelectObject(CBitmap* pBitmap);
    CFont* GetCurrentFont() const { return m_pFont; }

    COLORREF SetTextColor(COLORREF crColor);
    COLORREF SetBkColor(COLORREF crColor);
    int SetBkMode(int nBkMode);
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF GetBkColor() const { return m_crBack; }
    int GetBkMode() const { return m_nBkMode; }
    // Whether a colour request set the text or background colour.
    BOOL TextColorSet() const { return m_bTextColorSet; }
    BOOL BkColorSet() const { return m_bBkColorSet; }

    // Lines with the selected pen; the end point is not drawn.
    POINT MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
    void FillRect(LPCRECT lpRect, CBrush* pBrush);
    // Fills with a colour, which also becomes the background colour.
    void FillSolidRect(LPCRECT lpRect, COLORREF crColor);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor);
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop);
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwRop);
    COLORREF GetPixel(int x, int y) const;

    // Text in the selected font and the text colour; returns the height of the text drawn.
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat);
    BOOL TextOut(int x, int y, const CString& str);
    SIZE GetTextExtent(const CString& str) const;

    HDC m_hDC = nullptr;

protected:
#ifdef _WIN32
    // What the context held before anything was selected: selecting null puts it back (pen,
    // brush, font, bitmap).
    HGDIOBJ m_hDefault[4] = {};
    // Takes hDC as the context's handle: its current objects become the defaults and its colours,
    // background mode and position the context's own.
    void AdoptHandle(HDC hDC);
    // Selects the defaults again, so that nothing of the program's stays selected in the handle.
    void SelectDefaults();
#endif
    CPen* m_pPen = nullptr;
    CBrush* m_pBrush = nullptr;
    CFont* m_pFont = nullptr;
    CBitmap* m_pBitmap = nullptr;
    POINT m_ptCurrent{0, 0};
    COLORREF m_crText = 0;
    COLORREF m_crBack = 0x00FFFFFF;
    int m_nBkMode = OPAQUE;
    BOOL m_bTextColorSet = FALSE;
    BOOL m_bBkColorSet = FALSE;
};

class CWnd;

// The context of one WM_PAINT: the window's client area, origin at its top-left and clipped to
// it, with the window's font. Only valid inside an OnPaint handler.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
#ifdef _WIN32
    // Painting of a window handle: BeginPaint here, EndPaint with the object.
    explicit CPaintDC(HWND hWnd);

    HWND m_hWnd = nullptr;
    PAINTSTRUCT m_ps{};
#endif
};
