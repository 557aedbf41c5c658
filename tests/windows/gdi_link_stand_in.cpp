// Temporary, until the drawing back end (app/framework/win32/gdi_win32.cpp) is in the tree: the
// two destructors the window layer's own objects need to link (a font object over a window's font,
// the context of a colour request). Nothing here draws; tests that draw wait for the real one.
#include <windows.h>

#include "app/framework/gdi.h"

CGdiObject::~CGdiObject() {
    if (m_hObject != nullptr) {
        ::DeleteObject(m_hObject);
    }
}

CDC::~CDC() = default;
