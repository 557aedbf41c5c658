// zel: the tray program.
#include <QApplication>
#include <QDBusConnection>
#include <QSystemTrayIcon>

#include <stdio.h>

#include <string>

#include "app/device/device_transport.h"
#include "app/shell/norlex_app.h"
#include "app/shell/startup_report.h"
#include "host/simulated_board.h"

int main(int argc, char** argv) {
    std::string error;
    if (!SelectDeviceTransport(&host::HostOnSimulatedBoard, &error)) {
        fprintf(stderr, "zel: %s\n", error.c_str());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zel"));
    // The program lives in the tray: hiding or closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    AfxInitFramework();
    ReportFirstPaintWhenAsked();
    int result = 0;
    {
        CNorlexApp theApp;
        if (!theApp.InitInstance(QSystemTrayIcon::isSystemTrayAvailable(),
                                 QDBusConnection::systemBus())) {
            return 0;
        }
        result = QApplication::exec();
        // Windows that delete themselves after their last message go now.
        QApplication::processEvents();
    }
    return result;
}
