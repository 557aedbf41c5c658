// The program's start and end over Qt: the application object, the framework's style and font,
// the real message boxes, the system's notices as messages, and the message loop.
#include <QApplication>
#include <QDBusConnection>
#include <QEvent>
#include <QSystemTrayIcon>

#include <cstdio>
#include <memory>

#include "app/framework/app.h"
#include "app/framework/dialog.h"
#include "app/framework/qt/system_notices.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

// With ZEL_REPORT_FIRST_PAINT set, "zel: first paint" goes to standard error when a dialog is
// first painted (for measuring start-up).
class FirstPaintReporter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (dynamic_cast<CDialog*>(CWnd::FromHandle(HandleOf(widget->window()))) != nullptr) {
                std::fputs("zel: first paint\n", stderr);
                std::fflush(stderr);
                QApplication::instance()->removeEventFilter(this);
                m_bDone = true;
            }
        }
        return false;
    }
    bool m_bDone = false;
};

struct Program {
    int argc;
    std::unique_ptr<QApplication> app;
    std::unique_ptr<ExitSignals> exitSignals;
    std::unique_ptr<ResumeWatcher> resume;
    std::unique_ptr<FirstPaintReporter> firstPaint;
};
std::unique_ptr<Program> g_program;

}  // namespace

BOOL AfxWinInit(int argc, char** argv) {
    g_program = std::make_unique<Program>();
    g_program->argc = argc;
    g_program->app = std::make_unique<QApplication>(g_program->argc, argv);
    QApplication::setApplicationName(QStringLiteral("zel"));
    // The program lives in the tray: hiding or closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    AfxInitFramework();
    if (!qEnvironmentVariableIsEmpty("ZEL_REPORT_FIRST_PAINT")) {
        g_program->firstPaint = std::make_unique<FirstPaintReporter>();
        QApplication::instance()->installEventFilter(g_program->firstPaint.get());
    }
    // From the start: a signal while a start-up box is open closes the box, then its fatal
    // path (or the exit path, once the main window exists) ends the program.
    g_program->exitSignals = std::make_unique<ExitSignals>();
    QObject::connect(g_program->app.get(), &QGuiApplication::commitDataRequest,
                     g_program->app.get(), [](QSessionManager&) { AfxEndSession(); });
    g_program->resume = std::make_unique<ResumeWatcher>(QDBusConnection::systemBus());
    if (!g_program->resume->Listening()) {
        std::fprintf(stderr,
                     "zel: no system bus; a resume from suspend will not re-apply the clocks and "
                     "fan settings\n");
    }
    return TRUE;
}

BOOL AfxIsNotificationAreaAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable() ? TRUE : FALSE;
}

int AfxRunMessageLoop() {
    const int result = QApplication::exec();
    // Windows that delete themselves after their last message go now.
    QApplication::processEvents();
    return result;
}

void AfxWinTerm() {
    g_program.reset();
}
