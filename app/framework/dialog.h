// CDialog: a window built from a dialog template, modal (DoModal) or modeless (Create), with
// data exchange, the Enter/Escape/close-box behaviour of Windows dialogs and EndDialog.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "app/framework/wnd.h"
#include "app/framework/dialog_template.h"

class CDialog;

// Data exchange between a dialog's members and its controls.
class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;  // TRUE: controls -> members
    CDialog* m_pDlgWnd;
    BOOL m_bFailed = FALSE;
};

// Attaches control nIDC of the dialog to rControl (once; later exchanges leave it alone).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Trackbar position <-> value.
void DDX_Slider(CDataExchange* pDX, int nIDC, int& value);
// Window text <-> string.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Check state <-> value.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; returns the EndDialog result (IDOK/IDCANCEL), -1 when the window
    // cannot be made (no such template).
    virtual INT_PTR DoModal();
    // Creates the dialog modeless; shown when its template says visible.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Ends the dialog with nResult: a modal one leaves DoModal, a modeless one is hidden.
    void EndDialog(int nResult);

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual BOOL OnInitDialog();

    UINT GetTemplateID() const { return m_nIDTemplate; }
    const DialogTemplate* GetTemplate() const { return m_pTemplate; }
    BOOL IsModal() const { return m_bModal; }
    // Result of the last EndDialog (0 before any).
    int GetResult() const { return m_nModalResult; }
    // Default push button id (the template's BS_DEFPUSHBUTTON, else IDOK).
    int GetDefID() const;
    // Converts a rectangle in this dialog's units to pixels.
    void MapDialogRect(RECT* lpRect) const;

    // Parent given at construction (owner of the dialog window).
    CWnd* m_pParentWnd;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

public:
    // Framework internals.
    BOOL CreateDialogWindow(CWnd* pParentWnd, BOOL bModal);
    void HandleKey(int nKey);

private:
    // The start of CreateDialogWindow on every back end: the template found, the end state
    // cleared; the owner the dialog gets (the main window where none is given), or null when
    // the dialog cannot be made (no template, or a window already).
    BOOL BeginDialogWindow(BOOL bModal);
    static CWnd* DialogOwner(CWnd* pParentWnd);

    UINT m_nIDTemplate;
    const DialogTemplate* m_pTemplate = nullptr;
    BOOL m_bModal = FALSE;
    BOOL m_bEnded = FALSE;
    int m_nModalResult = 0;
    // Window objects of template controls nobody subclassed, owned by the dialog.
    std::vector<std::unique_ptr<CWnd>> m_defaultControls;
};

// Called with every modal dialog once its modal loop runs (tests and the screenshot tool drive
// dialogs from here). Pass an empty function to remove.
using ModalDialogHook = std::function<void(CDialog&)>;
void SetModalDialogHook(ModalDialogHook hook);
// For the back ends' modal loops: whether a hook is set, and calling it.
BOOL IsModalDialogHookSet();
void RunModalDialogHook(CDialog& dlg);
