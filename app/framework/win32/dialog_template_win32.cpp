// Dialog templates as data turned into the system's in-memory DLGTEMPLATE, so that the system
// makes the dialog, its font and its controls, and measures dialog units itself.
#include <windows.h>

#include "app/framework/dialog_template.h"
#include "app/framework/win32/wnd_internal.h"

namespace {

void AppendString(std::vector<WORD>& out, const char* lpsz) {
    const char* text = lpsz != nullptr ? lpsz : "";
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    if (n > 0) {
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    }
    for (wchar_t c : wide) {
        out.push_back(static_cast<WORD>(c));
    }
}

void AppendDword(std::vector<WORD>& out, DWORD value) {
    out.push_back(LOWORD(value));
    out.push_back(HIWORD(value));
}

void AlignToDword(std::vector<WORD>& out) {
    if (out.size() % 2 != 0) {
        out.push_back(0);
    }
}

bool IsPictureStatic(const DialogItemTemplate& item) {
    const DWORD type = item.dwStyle & SS_TYPEMASK;
    return lstrcmpiA(item.lpszClass, kClassStatic) == 0 && (type == SS_BITMAP || type == SS_ICON);
}

}  // namespace

std::vector<WORD> BuildDialogTemplate(const DialogTemplate& tmpl) {
    std::vector<WORD> out;
    AppendDword(out, (tmpl.dwStyle | DS_SETFONT) & ~WS_VISIBLE);
    AppendDword(out, tmpl.dwExStyle);
    out.push_back(static_cast<WORD>(tmpl.nItems));
    out.push_back(0);  // x
    out.push_back(0);  // y
    out.push_back(static_cast<WORD>(tmpl.cx));
    out.push_back(static_cast<WORD>(tmpl.cy));
    out.push_back(0);  // no menu
    out.push_back(0);  // the dialog class
    AppendString(out, tmpl.lpszCaption);
    out.push_back(static_cast<WORD>(tmpl.nPointSize));
    AppendString(out, tmpl.lpszFontName);
    for (std::size_t i = 0; i < tmpl.nItems; ++i) {
        const DialogItemTemplate& item = tmpl.pItems[i];
        AlignToDword(out);
        AppendDword(out, item.dwStyle);
        AppendDword(out, item.dwExStyle);
        out.push_back(static_cast<WORD>(item.x));
        out.push_back(static_cast<WORD>(item.y));
        out.push_back(static_cast<WORD>(item.cx));
        out.push_back(static_cast<WORD>(item.cy));
        out.push_back(static_cast<WORD>(item.nID));
        AppendString(out, item.lpszClass);
        // A missing picture would fail the whole dialog: pictures are set once it exists.
        AppendString(out, IsPictureStatic(item) ? "" : item.lpszText);
        out.push_back(0);  // no creation data
    }
    return out;
}
