// Pieces of the window layer shared between its source files; not for window code.
#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <map>
#include <vector>

#include "app/framework/wnd.h"

class QEvent;
struct DialogItemTemplate;
struct DialogTemplate;
struct DialogBaseUnits;

// Dynamic properties every framework widget carries.
inline constexpr const char* kPropWnd = "zelWnd";            // attached CWnd*, as quintptr
inline constexpr const char* kPropId = "zelId";              // control id
inline constexpr const char* kPropStyle = "zelStyle";        // WS_* | class styles
inline constexpr const char* kPropExStyle = "zelExStyle";    // WS_EX_*
inline constexpr const char* kPropText = "zelText";          // window text as the program set it
inline constexpr const char* kPropClass = "zelClass";        // template class name
inline constexpr const char* kPropTemplate = "zelTemplate";  // a dialog's template id

// A plain child window: draws only its edges; everything else comes from its OnPaint.
class CWndWidget : public QFrame {
public:
    explicit CWndWidget(QWidget* parent) : QFrame(parent) {}
    void PaintEdges() {
        if (frameWidth() == 0) {
            return;
        }
        QPainter painter(this);
        drawFrame(&painter);
    }
};

// Where a widget's client area starts inside it (a frame's contents).
inline QPoint ClientOrigin(const QWidget* w) {
    if (const auto* frame = qobject_cast<const QFrame*>(w)) {
        return frame->contentsRect().topLeft();
    }
    return QPoint(0, 0);
}

// On this side a window handle is the widget itself.
inline QWidget* WidgetOf(HWND hWnd) {
    return reinterpret_cast<QWidget*>(hWnd);
}
inline HWND HandleOf(const QWidget* widget) {
    return reinterpret_cast<HWND>(const_cast<QWidget*>(widget));
}

// Turns a widget's Qt events into messages for its attached window object and owns its timers.
// It also knows every window object that holds the widget's handle, and clears their handles
// when the widget goes.
class CWndHook : public QObject {
public:
    explicit CWndHook(QWidget* widget);
    ~CWndHook() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Colour requests are made for paints of this extra widget too (a scroll area's viewport).
    void WatchViewport(QWidget* viewport);

    QWidget* m_widget;
    std::map<UINT_PTR, QTimer*> m_timers;
    int m_nDispatchDepth = 0;
    std::vector<CWnd*> m_holders;

private:
    void RequestColors();
};

CWndHook* HookOf(QWidget* widget);
CWndHook* EnsureHook(QWidget* widget);

// Sends WM_COMMAND (id, code) from control `ctrl` to its parent's window object.
void NotifyParentCommand(QWidget* ctrl, UINT nCode);
// Sends WM_NOTIFY with an NMHDR from `ctrl` to its parent's window object; the handler's result.
LRESULT NotifyParent(QWidget* ctrl, UINT nCode);
// Sends WM_HSCROLL/WM_VSCROLL from a trackbar to its parent's window object.
void NotifyParentScroll(QWidget* ctrl, UINT message, UINT nCode, int nPos);

// Makes the widget for one template control, placed and styled, in `parent`.
QWidget* CreateControlWidget(const DialogItemTemplate& item, QWidget* parent,
                             const DialogBaseUnits& units);
// The wrapper class object a template control gets when nobody subclasses it.
CWnd* NewDefaultWrapper(const char* lpszClass);

// Marks a widget as ours with id, styles and class.
void TagWidget(QWidget* widget, int nID, DWORD dwStyle, DWORD dwExStyle, const char* lpszClass);

// Set while the program itself changes a control, so that no notification goes out.
class ProgrammaticChange {
public:
    explicit ProgrammaticChange(QWidget* widget);
    ~ProgrammaticChange();
    static bool Active(QWidget* widget);

private:
    QPointer<QWidget> m_widget;
};

// Gives assistive technology the framework's view of push buttons, statics and self-drawn
// windows; called for each widget as it becomes ours.
void InstallAccessibleFactory(QWidget* tagged);
// Names each control of a dialog: the program's own name for it where it gives one, else, for a
// control without text, the text of the nearest label before it in the template.
void NameDialogControls(const DialogTemplate& tmpl, const std::vector<QWidget*>& controls);
// The program's name for a control created later in a dialog made from template nTemplateID.
void NameCreatedControl(QWidget* control, QWidget* parent);

// The framework's narrow strings hold UTF-8 on this side.
inline QString ToQt(const CString& s) {
    return QString::fromUtf8(s.GetString(), s.GetLength());
}
inline CString FromQt(const QString& s) {
    return CString(s.toStdString());
}

// Colours, fonts and brushes between the drawing interface and Qt (the back end's gdi_qt.cpp).
inline QColor ColorFromRef(COLORREF cr) {
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}
inline COLORREF RefFromColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}
// The Qt font of a font object (the application's font for one without a handle).
QFont QtFontOf(const CFont& font);
// Makes the font object hold a Qt font.
void SetQtFont(CFont& font, const QFont& qfont);
// The colour of a brush handle.
COLORREF BrushColor(HBRUSH hBrush);

// A widget's text as the program set it, and setting it without going through the messages
// (what DefWindowProc does with WM_SETTEXT and WM_GETTEXT).
void ApplyWidgetText(QWidget* hWnd, const QString& text);
QString WidgetText(QWidget* hWnd);

// Strips Windows mnemonic markers ("&&" stays one "&") and turns CR LF into LF for display.
QString DisplayText(const QString& text);
