#include "app/shell/startup_report.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <cstdio>

#include "app/framework/wnd_internal.h"
#include "app/shell/monitor_dlg.h"

namespace {

class FirstPaintReporter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (dynamic_cast<CMonitorDlg*>(CWnd::FromHandle(HandleOf(widget->window()))) !=
                nullptr) {
                std::fputs("zel: first paint\n", stderr);
                std::fflush(stderr);
                QApplication::instance()->removeEventFilter(this);
                deleteLater();
            }
        }
        return false;
    }
};

}  // namespace

void ReportFirstPaintWhenAsked() {
    if (!qEnvironmentVariableIsEmpty("ZEL_REPORT_FIRST_PAINT")) {
        QApplication::instance()->installEventFilter(new FirstPaintReporter);
    }
}
