// What the GDI objects do the same over every back end: holding a handle, and reading back the
// record it was made from.
#include "app/framework/gdi.h"

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (m_hObject != nullptr || hObject == nullptr) {
        return FALSE;
    }
    m_hObject = hObject;
    return TRUE;
}

int CBrush::GetLogBrush(LOGBRUSH* pLogBrush) const {
    return ::GetObject(m_hObject, sizeof(LOGBRUSH), pLogBrush);
}

int CFont::GetLogFont(LOGFONT* pLogFont) const {
    return ::GetObject(m_hObject, sizeof(LOGFONT), pLogFont);
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const {
    return ::GetObject(m_hObject, sizeof(BITMAP), pBitMap);
}

CGdiObject::~CGdiObject() {
    DeleteObject();
}

CDC::~CDC() {
    DeleteDC();
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF crColor) {
    if (lpRect != nullptr) {
        FillSolidRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                      lpRect->bottom - lpRect->top, crColor);
    }
}
