// What a screen reader hears of a window beyond what the system gives it: the name and the
// description the program sets (SetAccessibleName, SetAccessibleDescription, the program's names
// of template controls). The window answers WM_GETOBJECT with the system's own accessible object
// of its client area, in which only those two texts are replaced.
#include <windows.h>

#include <oleacc.h>

#include <string>

#include "app/framework/dialog.h"
#include "app/framework/win32/wnd_internal.h"

namespace {

BSTR NewBstr(const std::string& text) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    return ::SysAllocString(wide.c_str());
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's object, with the window's own name and description.
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(IAccessible* inner, std::string name, std::string description)
        : m_inner(inner), m_name(std::move(name)), m_description(std::move(description)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
            riid == __uuidof(IAccessible)) {
            *ppv = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return m_inner->QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --m_refs;
        if (refs == 0) {
            m_inner->Release();
            delete this;
        }
        return refs;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* pszName) override {
        if (IsSelf(child) && !m_name.empty()) {
            *pszName = NewBstr(m_name);
            return S_OK;
        }
        return m_inner->get_accName(child, pszName);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* pszDescription) override {
        if (IsSelf(child) && !m_description.empty()) {
            *pszDescription = NewBstr(m_description);
            return S_OK;
        }
        return m_inner->get_accDescription(child, pszDescription);
    }

    // Everything else is the system's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* p) override {
        return m_inner->GetTypeInfoCount(p);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** p) override {
        return m_inner->GetTypeInfo(i, l, p);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l,
                                            DISPID* d) override {
        return m_inner->GetIDsOfNames(r, n, c, l, d);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v,
                                     EXCEPINFO* e, UINT* a) override {
        return m_inner->Invoke(d, r, l, f, p, v, e, a);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override {
        return m_inner->get_accParent(p);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* p) override {
        return m_inner->get_accChildCount(p);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override {
        return m_inner->get_accChild(c, p);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* p) override {
        return m_inner->get_accValue(c, p);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* p) override {
        return m_inner->get_accRole(c, p);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* p) override {
        return m_inner->get_accState(c, p);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* p) override {
        return m_inner->get_accHelp(c, p);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, long* p) override {
        return m_inner->get_accHelpTopic(f, c, p);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* p) override {
        return m_inner->get_accKeyboardShortcut(c, p);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* p) override { return m_inner->get_accFocus(p); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* p) override {
        return m_inner->get_accSelection(p);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* p) override {
        return m_inner->get_accDefaultAction(c, p);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT c) override {
        return m_inner->accSelect(f, c);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT c) override {
        return m_inner->accLocation(x, y, w, h, c);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT s, VARIANT* p) override {
        return m_inner->accNavigate(d, s, p);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* p) override {
        return m_inner->accHitTest(x, y, p);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override {
        return m_inner->accDoDefaultAction(c);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override {
        return m_inner->put_accName(c, n);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR v) override {
        return m_inner->put_accValue(c, v);
    }

private:
    ~NamedAccessible() = default;

    IAccessible* m_inner;
    std::string m_name;
    std::string m_description;
    ULONG m_refs = 1;
};

// A control without text of its own is named by the nearest label before it in its dialog, as
// screen readers read a dialog; labels themselves are not.
std::string LabelBefore(HWND hWnd) {
    if (IsWindowClass(hWnd, "Static") || ::GetWindowTextLengthA(hWnd) > 0 ||
        ::GetParent(hWnd) == nullptr) {
        return std::string();
    }
    for (HWND w = ::GetWindow(hWnd, GW_HWNDPREV); w != nullptr; w = ::GetWindow(w, GW_HWNDPREV)) {
        char text[256] = {};
        if (IsWindowClass(w, "Static") && ::GetWindowTextA(w, text, sizeof text) > 0) {
            std::string label;
            for (const char* p = text; *p != '\0'; ++p) {
                if (*p != '&' || p[1] == '&') {
                    label += *p == '&' ? *++p : *p;  // mnemonic marks are not read
                }
            }
            return label;
        }
    }
    return std::string();
}

}  // namespace

LRESULT AccessibleObjectResult(HWND hWnd, WPARAM wParam, const WindowRecord& rec) {
    std::string name = rec.accName;
    if (name.empty()) {
        // The program's name for a control of a dialog's template, however it was made.
        const auto* dlg = dynamic_cast<const CDialog*>(CWnd::FromHandle(::GetParent(hWnd)));
        const char* listed = dlg != nullptr
                                 ? FindAccessibleName(dlg->GetTemplateID(), ::GetDlgCtrlID(hWnd))
                                 : nullptr;
        name = listed != nullptr ? listed : "";
    }
    if (name.empty()) {
        name = LabelBefore(hWnd);
    }
    if (name.empty() && rec.accDescription.empty()) {
        return 0;  // the system's own object says all there is
    }
    IAccessible* inner = nullptr;
    if (FAILED(::CreateStdAccessibleObject(hWnd, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&inner))) ||
        inner == nullptr) {
        return 0;
    }
    auto* named = new NamedAccessible(inner, name, rec.accDescription);
    const LRESULT result = ::LresultFromObject(__uuidof(IAccessible), wParam, named);
    named->Release();
    return result;
}
