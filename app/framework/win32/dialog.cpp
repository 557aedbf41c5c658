// CDialog over the system's dialog manager: the window made from the template by
// CreateDialogIndirectParamA, the controls subclassed at WM_INITDIALOG, and a modal loop of the
// framework's own over the modeless window, which ends with EndDialog or the closing state.
#include "app/framework/dialog.h"

#include <windows.h>

#include "app/framework/app.h"
#include "app/framework/closing.h"
#include "app/framework/controls.h"
#include "app/framework/win32/wnd_internal.h"

namespace {

// The dialog procedure the system's dialog manager calls: it only hands WM_INITDIALOG to the
// framework, which then owns the window through its window procedure; everything else is left
// to the dialog manager's defaults.
INT_PTR CALLBACK FrameworkDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG && FindWindowRecord(hWnd) == nullptr) {
        reinterpret_cast<CDialog*>(lParam)->AttachWidget(hWnd);
        return AfxWndProc(hWnd, message, wParam, lParam);
    }
    return FALSE;
}

void SetPicture(HWND hControl, const DialogItemTemplate& item) {
    const DWORD type = item.dwStyle & SS_TYPEMASK;
    if (item.nImageID == 0) {
        return;
    }
    if (type == SS_BITMAP) {
        if (HBITMAP bmp = ::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(item.nImageID))) {
            ::SendMessageA(hControl, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp));
        }
    } else if (type == SS_ICON) {
        if (HICON icon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(item.nImageID))) {
            ::SendMessageA(hControl, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        }
    }
}

// A program without a visual-styles manifest gets the classic controls on Windows; some systems
// (wine, by default) theme them all the same, and a themed tab page is white under the
// button-face labels. Each control is asked to be drawn unthemed, where the system can theme.
void DrawClassic(HWND hControl) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const auto setTheme = []() -> SetWindowThemeFn {
        HMODULE uxtheme = ::LoadLibraryA("uxtheme.dll");
        return uxtheme == nullptr ? nullptr
                                  : reinterpret_cast<SetWindowThemeFn>(reinterpret_cast<void*>(
                                        ::GetProcAddress(uxtheme, "SetWindowTheme")));
    }();
    if (setTheme != nullptr) {
        setTheme(hControl, L" ", L" ");
    }
}

bool IsPushButton(HWND hWnd) {
    const auto code = static_cast<UINT>(::SendMessageA(hWnd, WM_GETDLGCODE, 0, 0));
    return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

}  // namespace

BOOL CDialog::CreateDialogWindow(CWnd* pParentWnd, BOOL bModal) {
    if (!BeginDialogWindow(bModal)) {
        return FALSE;
    }
    CWnd* owner = DialogOwner(pParentWnd);
    HWND hOwner = owner != nullptr ? ::GetAncestor(owner->GetSafeHwnd(), GA_ROOT) : nullptr;
    const std::vector<WORD> data = BuildDialogTemplate(*m_pTemplate);
    HWND h = ::CreateDialogIndirectParamA(AfxGetInstanceHandle(),
                                          reinterpret_cast<LPCDLGTEMPLATEA>(data.data()), hOwner,
                                          &FrameworkDlgProc, reinterpret_cast<LPARAM>(this));
    return h != nullptr && m_hWnd == h ? TRUE : FALSE;
}

INT_PTR CDialog::DoModal() {
    if (!CreateDialogWindow(m_pParentWnd, TRUE)) {
        return m_bEnded ? m_nModalResult : -1;
    }
    // Closing ends the dialog as Cancel does (its own handler first), now or once it runs.
    const ModalLoopScope loop([this]() {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        if (!m_bEnded) {
            EndDialog(IDCANCEL);
        }
    });
    if (!m_bEnded && m_hWnd != nullptr) {
        // The owner takes no input while the dialog runs, as with the system's modal dialogs.
        HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
        const bool disableOwner = hOwner != nullptr && ::IsWindowEnabled(hOwner);
        if (disableOwner) {
            ::EnableWindow(hOwner, FALSE);
        }
        ShowWindow(SW_SHOW);
        bool hookPending = IsModalDialogHookSet() != FALSE;
        MSG msg;
        while (!m_bEnded && m_hWnd != nullptr) {
            if (hookPending && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                // Once what the dialog's opening queued is done, as a posted call would run.
                hookPending = false;
                RunModalDialogHook(*this);
                continue;
            }
            if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
                EndDialog(IDCANCEL);
                break;
            }
            AfxPumpMessage(&msg);
        }
        if (disableOwner) {
            ::EnableWindow(hOwner, TRUE);
        }
    }
    DestroyWindow();
    return m_nModalResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    if (!CreateDialogWindow(pParentWnd, FALSE)) {
        return FALSE;
    }
    if ((m_pTemplate->dwStyle & WS_VISIBLE) != 0 && !m_bEnded) {
        ShowWindow(SW_SHOW);
    }
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bEnded = TRUE;
    if (m_hWnd == nullptr) {
        return;
    }
    if (m_bModal) {
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the modal loop to see it ended
    } else {
        ShowWindow(SW_HIDE);
    }
}

void CDialog::MapDialogRect(RECT* lpRect) const {
    if (lpRect != nullptr && m_hWnd != nullptr) {
        ::MapDialogRect(m_hWnd, lpRect);
    }
}

void CDialog::HandleKey(int nKey) {
    if (nKey == VK_ESCAPE) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    // Enter: the focused push button, else the default button.
    HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(m_hWnd, focus) && IsPushButton(focus) &&
        ::IsWindowEnabled(focus)) {
        SendMessage(WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(focus), BN_CLICKED),
                    reinterpret_cast<LPARAM>(focus));
        return;
    }
    const int def = GetDefID();
    HWND defButton = GetDlgItemHwnd(def);
    if (defButton != nullptr && !::IsWindowEnabled(defButton)) {
        return;
    }
    SendMessage(WM_COMMAND, MAKEWPARAM(def, BN_CLICKED), reinterpret_cast<LPARAM>(defButton));
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // Every control gets its window object, pictures their images; then the dialog's own
        // set-up. TRUE lets the system put the focus on the first tab stop.
        m_defaultControls.clear();
        // The system makes the controls in template order, first on top of the z-order.
        HWND hControl = ::GetWindow(m_hWnd, GW_CHILD);
        for (std::size_t i = 0; i < m_pTemplate->nItems && hControl != nullptr; ++i) {
            if (FromHandle(hControl) == nullptr) {
                SetPicture(hControl, m_pTemplate->pItems[i]);
                DrawClassic(hControl);
                std::unique_ptr<CWnd> wrapper(NewDefaultWrapper(m_pTemplate->pItems[i].lpszClass));
                wrapper->AttachWidget(hControl);
                m_defaultControls.push_back(std::move(wrapper));
            }
            hControl = ::GetWindow(hControl, GW_HWNDNEXT);
        }
        SendMessage(WM_CREATE);
        return m_hWnd != nullptr ? OnInitDialog() : FALSE;
    }
    if (message == WM_CLOSE) {
        // The close box is Cancel, unless a Cancel button exists and is disabled.
        HWND cancel = GetDlgItemHwnd(IDCANCEL);
        if (cancel == nullptr || ::IsWindowEnabled(cancel)) {
            SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        return 0;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}
