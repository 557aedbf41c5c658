// CWnd: the framework's window object over one Qt widget, with a message map, window timers,
// text, visibility, styles and geometry in the terms the handlers are written in.
//
// Messages: every message a window receives goes through the virtual WindowProc, which looks the
// message up in the class's message map (and its bases') and otherwise calls DefWindowProc.
// Qt events become messages (paint, mouse, close, enable, timers), control signals become
// WM_COMMAND / WM_NOTIFY / WM_HSCROLL at the parent; a message whose handler does not call
// Default() replaces Qt's own handling of the event.
#pragma once

#include <map>
#include <memory>

#include "app/framework/gdi.h"
#include "app/framework/win_types.h"

class CWnd;
class CScrollBar;

#ifndef _WIN32
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};

// Whether the handle names a window that still exists.
BOOL IsWindow(HWND hWnd);
// The window with the keyboard focus, and a window's parent; null for none.
HWND GetFocus();
HWND GetParent(HWND hWnd);
#endif

// One message-map entry: the message (and for commands the notification code and id range) and
// the function that unpacks the parameters and calls the handler.
struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    LRESULT (*pfnInvoke)(CWnd* pWnd, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                         \
protected:                                            \
    static const AFX_MSGMAP* GetThisMessageMap();     \
    const AFX_MSGMAP* GetMessageMap() const override; \
                                                      \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass = theClass;                     \
        using TheBaseClass = baseClass;                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, 0, nullptr }                                                                       \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

#define AFX_THIS(w) static_cast<ThisClass*>(w)

// Commands and control notifications (WM_COMMAND).
#define ON_COMMAND(id, memberFxn)                                 \
    {WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                     \
         AFX_THIS(w)->memberFxn();                                \
         return 0;                                                \
     }},
#define ON_CONTROL(code, id, memberFxn)                                                 \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                                           \
         AFX_THIS(w)->memberFxn();                                                      \
         return 0;                                                                      \
     }},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

// Control notifications (WM_NOTIFY): void memberFxn(NMHDR* pNMHDR, LRESULT* pResult).
#define ON_NOTIFY(code, id, memberFxn)                                                 \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CWnd* w, WPARAM, LPARAM l) -> LRESULT {                                        \
         LRESULT result = 0;                                                           \
         AFX_THIS(w)->memberFxn(reinterpret_cast<NMHDR*>(l), &result);                 \
         return result;                                                                \
     }},

// Window messages.
#define ON_WM_TIMER()                                               \
    {WM_TIMER, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT { \
         AFX_THIS(w)->OnTimer(static_cast<UINT_PTR>(wp));           \
         return 0;                                                  \
     }},
#define ON_WM_CLOSE()                                            \
    {WM_CLOSE, 0, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT { \
         AFX_THIS(w)->OnClose();                                 \
         return 0;                                               \
     }},
#define ON_WM_DESTROY()                                            \
    {WM_DESTROY, 0, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT { \
         AFX_THIS(w)->OnDestroy();                                 \
         return 0;                                                 \
     }},
#define ON_WM_PAINT()                                            \
    {WM_PAINT, 0, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT { \
         AFX_THIS(w)->OnPaint();                                 \
         return 0;                                               \
     }},
#define ON_WM_ERASEBKGND()                                               \
    {WM_ERASEBKGND, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT { \
         return AFX_THIS(w)->OnEraseBkgnd(reinterpret_cast<CDC*>(wp));   \
     }},
#define ON_WM_ENABLE()                                               \
    {WM_ENABLE, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT { \
         AFX_THIS(w)->OnEnable(static_cast<BOOL>(wp));               \
         return 0;                                                   \
     }},
#define ON_WM_CREATE()   \
    {WM_CREATE, 0, 0, 0, \
     [](CWnd* w, WPARAM, LPARAM) -> LRESULT { return AFX_THIS(w)->OnCreate(); }},
#define ON_WM_SIZE()                                                                        \
    {WM_SIZE, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM l) -> LRESULT {                        \
         AFX_THIS(w)->OnSize(static_cast<UINT>(wp), LOWORD(static_cast<std::uintptr_t>(l)), \
                             HIWORD(static_cast<std::uintptr_t>(l)));                       \
         return 0;                                                                          \
     }},
// void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar): pScrollBar is the trackbar.
#define ON_WM_HSCROLL()                                                       \
    {WM_HSCROLL, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM l) -> LRESULT {       \
         AFX_THIS(w)->OnHScroll(LOWORD(wp), HIWORD(wp),                       \
                                CWnd::FromHandle(reinterpret_cast<HWND>(l))); \
         return 0;                                                            \
     }},
#define ON_WM_VSCROLL()                                                       \
    {WM_VSCROLL, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM l) -> LRESULT {       \
         AFX_THIS(w)->OnVScroll(LOWORD(wp), HIWORD(wp),                       \
                                CWnd::FromHandle(reinterpret_cast<HWND>(l))); \
         return 0;                                                            \
     }},
// HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor); the brush (or null for the
// defaults) fills the control's background, pDC's colours apply to its text.
#define ON_WM_CTLCOLOR()                                                                      \
    {WM_CTLCOLOR, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM l) -> LRESULT {                      \
         const auto* req = reinterpret_cast<const CtlColorRequest*>(l);                       \
         return reinterpret_cast<LRESULT>(                                                    \
             AFX_THIS(w)->OnCtlColor(reinterpret_cast<CDC*>(wp), req->pWnd, req->nCtlColor)); \
     }},
#define ON_WM_SYSCOMMAND()                                                 \
    {WM_SYSCOMMAND, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM l) -> LRESULT { \
         AFX_THIS(w)->OnSysCommand(static_cast<UINT>(wp), l);              \
         return 0;                                                         \
     }},
#define AFX_ON_MOUSE(msg, memberFxn)                                                             \
    {msg, 0, 0, 0, [](CWnd* w, WPARAM wp, LPARAM l) -> LRESULT {                                 \
         const auto u = static_cast<std::uintptr_t>(l);                                          \
         AFX_THIS(w)->memberFxn(                                                                 \
             static_cast<UINT>(wp),                                                              \
             POINT{static_cast<std::int16_t>(LOWORD(u)), static_cast<std::int16_t>(HIWORD(u))}); \
         return 0;                                                                               \
     }},
#define ON_WM_LBUTTONDOWN() AFX_ON_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_ON_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_ON_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_MOUSEMOVE() AFX_ON_MOUSE(WM_MOUSEMOVE, OnMouseMove)
// LRESULT memberFxn(WPARAM, LPARAM) for any message number (WM_USER + n, tray callbacks...).
#define ON_MESSAGE(message, memberFxn)    \
    {static_cast<UINT>(message), 0, 0, 0, \
     [](CWnd* w, WPARAM wp, LPARAM l) -> LRESULT { return AFX_THIS(w)->memberFxn(wp, l); }},

// What a WM_CTLCOLOR request carries besides the context.
struct CtlColorRequest {
    CWnd* pWnd;
    UINT nCtlColor;
};

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The window this object stands for; null when it has none, also once the window is gone.
    HWND m_hWnd = nullptr;

    // The window object attached to a widget (the one DDX_Control subclassed it to, or the one
    // that created it); null for widgets the framework does not know.
    static CWnd* FromHandle(HWND hWnd);
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Creates a plain child window that draws nothing but what OnPaint draws (and the edges its
    // extended styles ask for). rect is in the parent's client pixels.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID);
    // Destroys the window: owned windows first, then WM_DESTROY here, then the widget goes and
    // PostNcDestroy runs.
    virtual BOOL DestroyWindow();

    // Subclassing: this object takes over an existing widget's messages.
    BOOL Attach(HWND hWnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // Messages.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT Default();

    // Text.
    void SetWindowText(LPCTSTR lpszString);
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    // What assistive technology calls this window and says of it beyond its name (for windows
    // whose text or drawing says nothing to a screen reader).
    void SetAccessibleName(const CString& name);
    void SetAccessibleDescription(const CString& description);

    // Children of a dialog.
    CWnd* GetDlgItem(int nID) const;
    HWND GetDlgItemHwnd(int nID) const;
    void SetDlgItemText(int nID, LPCTSTR lpszString);
    int GetDlgItemText(int nID, CString& rString) const;
    int GetDlgCtrlID() const;
    void SetDlgCtrlID(int nID);
    CWnd* GetParent() const;
    CWnd* GetTopLevelParent() const;
    // The window that owns this top-level one (it goes with its owner); null when none. Changing
    // the owner keeps the window as visible as it was.
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwnerWnd);

    // State and appearance.
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    // The window's font; the object lives as long as this window object.
    CFont* GetFont() const;
    void Invalidate(BOOL bErase = TRUE);
    BOOL RedrawWindow(const RECT* lpRectUpdate = nullptr, void* prgnUpdate = nullptr,
                      UINT flags = 0);
    void UpdateWindow();
    BOOL SetForegroundWindow();
    void SetFocus();
    // The window in front (the active one, else the one last brought to the front), or null.
    static CWnd* GetForegroundWindow();

    // Geometry (pixels).
    void GetClientRect(RECT* lpRect) const;
    void GetWindowRect(RECT* lpRect) const;
    void ClientToScreen(POINT* lpPoint) const;
    void ScreenToClient(POINT* lpPoint) const;
    void ClientToScreen(RECT* lpRect) const;
    void ScreenToClient(RECT* lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(const RECT* lpRect, BOOL bRepaint = TRUE);

    // Window timers: WM_TIMER with the id every nElapse ms while the window exists. Returns the
    // id, or 0 when the window does not exist. Setting an id again restarts it with the new
    // period.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);
    // The period of a running timer, 0 when none runs with that id (for tests and tools).
    UINT GetTimerPeriod(UINT_PTR nIDEvent) const;

    // A box through the message-box service, owned by this window.
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // Called by the framework when a widget becomes this object's (DDX_Control, SubclassWindow).
    virtual void PreSubclassWindow();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Looks the message up in the message maps; TRUE (and *pResult) when a handler ran.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void PostNcDestroy();

    // Default handlers, reachable from derived handlers as Base::OnXxx().
    void OnTimer(UINT_PTR nIDEvent);
    void OnClose();
    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnEnable(BOOL bEnable);
    int OnCreate();
    void OnSize(UINT nType, int cx, int cy);
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    void OnLButtonDblClk(UINT nFlags, POINT point);
    void OnRButtonDown(UINT nFlags, POINT point);
    void OnMouseMove(UINT nFlags, POINT point);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

public:
    // Framework internals, used by the widgets and the dialog manager.
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        BOOL bPassToWidget;  // DefWindowProc asked for the widget's own handling
    };
    // Delivers a message that came from a Qt event; TRUE when the widget's own handling of the
    // event should still run.
    BOOL DispatchWidgetMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void AttachWidget(HWND hWnd);
    void FireTimer(UINT_PTR nIDEvent);

private:
    friend class CWndHook;
    // The message this object is handling now (the innermost one), kept on the delivering
    // call's stack; null outside any.
    CurrentMessage* CurrentMsg() const;
    // Called as the object goes: messages still being delivered to it no longer name it.
    void ForgetDispatches() const;
    // Every change of m_hWnd goes through here, so that the window's going reaches this object.
    void SetHandle(HWND hWnd);
    mutable std::unique_ptr<CFont> m_pFont;
};

class CScrollBar : public CWnd {};
