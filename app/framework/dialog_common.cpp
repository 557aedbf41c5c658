// What a dialog object does the same over every back end: data exchange with its controls,
// OK and Cancel, the default button, and the hook tests use to drive modal dialogs.
#include <cctype>

#include "app/framework/controls.h"
#include "app/framework/dialog.h"

#include "app/framework/app.h"

namespace {

ModalDialogHook g_modalHook;

bool IsButtonClass(const char* lpszClass) {
    const char* button = "button";
    for (; *lpszClass != '\0' && *button != '\0'; ++lpszClass, ++button) {
        if (std::tolower(static_cast<unsigned char>(*lpszClass)) != *button) {
            return false;
        }
    }
    return *lpszClass == '\0' && *button == '\0';
}

}  // namespace

void SetModalDialogHook(ModalDialogHook hook) {
    g_modalHook = std::move(hook);
}

void RunModalDialogHook(CDialog& dlg) {
    if (g_modalHook) {
        g_modalHook(dlg);
    }
}

BOOL IsModalDialogHookSet() {
    return g_modalHook ? TRUE : FALSE;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.GetSafeHwnd() != nullptr || pDX == nullptr || pDX->m_pDlgWnd == nullptr) {
        return;
    }
    HWND h = pDX->m_pDlgWnd->GetDlgItemHwnd(nIDC);
    if (h == nullptr) {
        pDX->m_bFailed = TRUE;
        return;
    }
    rControl.SubclassWindow(h);
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value) {
    auto* slider = dynamic_cast<CSliderCtrl*>(pDX->m_pDlgWnd->GetDlgItem(nIDC));
    if (slider == nullptr) {
        pDX->m_bFailed = TRUE;
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = slider->GetPos();
    } else {
        slider->SetPos(value);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    CWnd* item = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (item == nullptr) {
        pDX->m_bFailed = TRUE;
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        item->GetWindowText(value);
    } else {
        item->SetWindowText(value);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    auto* button = dynamic_cast<CButton*>(pDX->m_pDlgWnd->GetDlgItem(nIDC));
    if (button == nullptr) {
        pDX->m_bFailed = TRUE;
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = button->GetCheck();
    } else {
        button->SetCheck(value);
    }
}

// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_pParentWnd(pParentWnd), m_nIDTemplate(nIDTemplate) {}

CDialog::~CDialog() {
    if (GetSafeHwnd() != nullptr) {
        DestroyWindow();
    }
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.m_bFailed ? FALSE : TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

int CDialog::GetDefID() const {
    if (m_pTemplate != nullptr) {
        for (std::size_t i = 0; i < m_pTemplate->nItems; ++i) {
            const DialogItemTemplate& item = m_pTemplate->pItems[i];
            if (IsButtonClass(item.lpszClass) && (item.dwStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                return item.nID;
            }
        }
    }
    return IDOK;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CDialog::BeginDialogWindow(BOOL bModal) {
    m_pTemplate = FindDialogTemplate(m_nIDTemplate);
    if (m_pTemplate == nullptr || GetSafeHwnd() != nullptr) {
        return FALSE;
    }
    m_bModal = bModal;
    m_bEnded = FALSE;
    m_nModalResult = 0;
    return TRUE;
}

CWnd* CDialog::DialogOwner(CWnd* pParentWnd) {
    CWnd* owner = pParentWnd != nullptr ? pParentWnd : AfxGetMainWnd();
    return owner != nullptr && owner->GetSafeHwnd() != nullptr ? owner : nullptr;
}
