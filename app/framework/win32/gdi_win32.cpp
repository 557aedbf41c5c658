// GDI objects and device contexts over the system's GDI: every object owns a real handle and
// every context call is the system call of the same name. The context keeps a copy of its colours,
// background mode and selected objects so that a context without a handle (a colour request)
// still answers.
#include <windows.h>

#include <cstring>
#include <utility>

#include "app/framework/gdi.h"

namespace {

enum DefaultSlot { kPen, kBrush, kFont, kBitmap };

// Vertical pixels per inch of the screen, which point sizes are converted with.
int ScreenDpiY() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

void SetFaceName(LOGFONT& lf, const char* face) {
    std::strncpy(lf.lfFaceName, face != nullptr ? face : "", LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';
}

// Selects object (or, for null, the context's default for that kind) into hdc and returns what
// the context selected before; the previous object stays selected when the system refuses.
template <typename T>
T* SelectInto(HDC hdc, HGDIOBJ hDefault, T*& current, T* object) {
    if (hdc != nullptr) {
        HGDIOBJ h = object != nullptr ? object->GetSafeHandle() : hDefault;
        if (h == nullptr) {
            return nullptr;
        }
        HGDIOBJ old = ::SelectObject(hdc, h);
        if (old == nullptr || old == HGDI_ERROR) {
            return nullptr;
        }
    }
    return std::exchange(current, object);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Fonts.

LOGFONT GetStockLogFont(int nStockObject) {
    LOGFONT lf{};
    ::GetObject(::GetStockObject(nStockObject), sizeof(lf), &lf);
    if (nStockObject == DEFAULT_GUI_FONT) {
        // The dialog face at 8 points, whatever face the system names for its stock font.
        lf.lfHeight = -MulDiv(8, ScreenDpiY(), 72);
        lf.lfWidth = 0;
        lf.lfWeight = FW_NORMAL;
        SetFaceName(lf, "Tahoma");
    }
    return lf;
}

// ---------------------------------------------------------------------------------------------
// Objects.

HGDIOBJ CGdiObject::Detach() {
    return std::exchange(m_hObject, nullptr);
}

BOOL CGdiObject::DeleteObject() {
    HGDIOBJ h = Detach();
    return h != nullptr ? ::DeleteObject(h) : FALSE;
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    DeleteObject();
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    DeleteObject();
    return Attach(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor) {
    DeleteObject();
    return Attach(::CreateHatchBrush(nIndex, crColor));
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) {
    if (lpLogFont == nullptr) {
        return FALSE;
    }
    DeleteObject();
    return Attach(::CreateFontIndirect(lpLogFont));
}

BOOL CFont::CreatePointFont(int nPointSize10, LPCTSTR lpszFaceName) {
    LOGFONT lf{};
    lf.lfHeight = -MulDiv(nPointSize10, ScreenDpiY(), 720);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    SetFaceName(lf, lpszFaceName);
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* /*pDC*/, int nWidth, int nHeight) {
    if (nWidth <= 0 || nHeight <= 0) {
        return FALSE;
    }
    // The screen's format, not the memory context's: a fresh memory context holds a monochrome
    // bitmap.
    HDC screen = ::GetDC(nullptr);
    HBITMAP hBitmap =
        screen != nullptr ? ::CreateCompatibleBitmap(screen, nWidth, nHeight) : nullptr;
    if (screen != nullptr) {
        ::ReleaseDC(nullptr, screen);
    }
    if (hBitmap == nullptr) {
        return FALSE;
    }
    // A new bitmap starts black.
    if (HDC hdc = ::CreateCompatibleDC(nullptr)) {
        HGDIOBJ old = ::SelectObject(hdc, hBitmap);
        ::PatBlt(hdc, 0, 0, nWidth, nHeight, BLACKNESS);
        ::SelectObject(hdc, old);
        ::DeleteDC(hdc);
    }
    DeleteObject();
    return Attach(hBitmap);
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    HBITMAP hBitmap =
        ::LoadBitmap(::GetModuleHandle(nullptr), MAKEINTRESOURCE(static_cast<WORD>(nIDResource)));
    if (hBitmap == nullptr) {
        return FALSE;
    }
    DeleteObject();
    return Attach(hBitmap);
}

// ---------------------------------------------------------------------------------------------
// Device contexts.

void CDC::AdoptHandle(HDC hDC) {
    m_hDC = hDC;
    m_hDefault[kPen] = ::GetCurrentObject(hDC, OBJ_PEN);
    m_hDefault[kBrush] = ::GetCurrentObject(hDC, OBJ_BRUSH);
    m_hDefault[kFont] = ::GetCurrentObject(hDC, OBJ_FONT);
    m_hDefault[kBitmap] = ::GetCurrentObject(hDC, OBJ_BITMAP);
    m_crText = ::GetTextColor(hDC);
    m_crBack = ::GetBkColor(hDC);
    m_nBkMode = ::GetBkMode(hDC);
    ::GetCurrentPositionEx(hDC, &m_ptCurrent);
}

void CDC::SelectDefaults() {
    for (HGDIOBJ h : m_hDefault) {
        if (h != nullptr) {
            ::SelectObject(m_hDC, h);
        }
    }
    m_pPen = nullptr;
    m_pBrush = nullptr;
    m_pFont = nullptr;
    m_pBitmap = nullptr;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    if (m_hDC != nullptr) {
        return FALSE;
    }
    HDC hSource = pDC != nullptr ? pDC->m_hDC : nullptr;
    HDC hdc = ::CreateCompatibleDC(hSource);
    if (hdc == nullptr) {
        return FALSE;
    }
    // The memory context's own font is that of the context it was made for (a window's, for a
    // paint context), never a font the program selected there and may delete.
    if (hSource != nullptr && pDC->m_hDefault[kFont] != nullptr) {
        ::SelectObject(hdc, pDC->m_hDefault[kFont]);
    }
    AdoptHandle(hdc);
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) {
        return FALSE;
    }
    SelectDefaults();
    const BOOL deleted = ::DeleteDC(std::exchange(m_hDC, nullptr));
    for (HGDIOBJ& h : m_hDefault) {
        h = nullptr;
    }
    return deleted;
}

CPen* CDC::SelectObject(CPen* pPen) {
    return SelectInto(m_hDC, m_hDefault[kPen], m_pPen, pPen);
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    return SelectInto(m_hDC, m_hDefault[kBrush], m_pBrush, pBrush);
}

CFont* CDC::SelectObject(CFont* pFont) {
    return SelectInto(m_hDC, m_hDefault[kFont], m_pFont, pFont);
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    return SelectInto(m_hDC, m_hDefault[kBitmap], m_pBitmap, pBitmap);
}

COLORREF CDC::SetTextColor(COLORREF crColor) {
    m_bTextColorSet = TRUE;
    if (m_hDC != nullptr) {
        ::SetTextColor(m_hDC, crColor);
    }
    return std::exchange(m_crText, crColor);
}

COLORREF CDC::SetBkColor(COLORREF crColor) {
    m_bBkColorSet = TRUE;
    if (m_hDC != nullptr) {
        ::SetBkColor(m_hDC, crColor);
    }
    return std::exchange(m_crBack, crColor);
}

int CDC::SetBkMode(int nBkMode) {
    if (m_hDC != nullptr) {
        ::SetBkMode(m_hDC, nBkMode);
    }
    return std::exchange(m_nBkMode, nBkMode);
}

POINT CDC::MoveTo(int x, int y) {
    POINT previous = m_ptCurrent;
    if (m_hDC != nullptr) {
        ::MoveToEx(m_hDC, x, y, &previous);
    }
    m_ptCurrent = POINT{x, y};
    return previous;
}

BOOL CDC::LineTo(int x, int y) {
    m_ptCurrent = POINT{x, y};
    return m_hDC != nullptr ? ::LineTo(m_hDC, x, y) : FALSE;
}

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) {
    if (m_hDC != nullptr && lpRect != nullptr && pBrush != nullptr && pBrush->IsCreated()) {
        ::FillRect(m_hDC, lpRect, *pBrush);
    }
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor) {
    SetBkColor(crColor);
    if (m_hDC != nullptr) {
        // An opaque text call without text fills with the background colour and needs no brush.
        const RECT rc{x, y, x + cx, y + cy};
        ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    }
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD dwRop) {
    if (m_hDC == nullptr || pSrcDC == nullptr || pSrcDC->m_hDC == nullptr) {
        return FALSE;
    }
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, DWORD dwRop) {
    if (m_hDC == nullptr || pSrcDC == nullptr || pSrcDC->m_hDC == nullptr) {
        return FALSE;
    }
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, nSrcWidth,
                        nSrcHeight, dwRop);
}

COLORREF CDC::GetPixel(int x, int y) const {
    return m_hDC != nullptr ? ::GetPixel(m_hDC, x, y) : CLR_INVALID;
}

int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat) {
    if (m_hDC == nullptr || lpRect == nullptr) {
        return 0;
    }
    return ::DrawText(m_hDC, str.GetString(), str.GetLength(), lpRect, nFormat);
}

BOOL CDC::TextOut(int x, int y, const CString& str) {
    if (m_hDC == nullptr) {
        return FALSE;
    }
    return ::TextOut(m_hDC, x, y, str.GetString(), str.GetLength());
}

SIZE CDC::GetTextExtent(const CString& str) const {
    SIZE size{0, 0};
    if (m_hDC != nullptr) {
        ::GetTextExtentPoint32(m_hDC, str.GetString(), str.GetLength(), &size);
    }
    return size;
}

// ---------------------------------------------------------------------------------------------
// Painting a window.

CPaintDC::CPaintDC(HWND hWnd) {
    HDC hdc = hWnd != nullptr ? ::BeginPaint(hWnd, &m_ps) : nullptr;
    if (hdc == nullptr) {
        return;
    }
    m_hWnd = hWnd;
    // The window's font, as its own painting would use it.
    if (auto hFont = reinterpret_cast<HFONT>(::SendMessage(hWnd, WM_GETFONT, 0, 0))) {
        ::SelectObject(hdc, hFont);
    }
    AdoptHandle(hdc);
}

CPaintDC::~CPaintDC() {
    if (m_hWnd == nullptr) {
        return;
    }
    SelectDefaults();
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}
