#include "tests/support/main_dialog_shot.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

#include "host/inprocess_transport.h"
#include "app/shell/main_frame.h"
#include "app/shell/monitor_dlg.h"
#include "host/driver_entry.h"
#include "host/io_manager.h"
#include "sim/machine.h"
#include "tests/support/screenshot.h"

int SaveMainDialogShot(const std::string& request, const QString& out, bool bPrintRss) {
    const std::size_t colon = request.find(':');
    const std::string board = request.substr(0, colon);
    const int page = colon == std::string::npos ? 0 : std::stoi(request.substr(colon + 1));
    sim::SteppedClock clock;
    auto machine = sim::Machine::Create(board, clock);
    if (machine == nullptr) {
        std::fprintf(stderr, "zel_screenshot: no board %s\n", board.c_str());
        return 1;
    }
    host::AttachPortBus(machine.get());
    if (host::LoadDriver(host::KestatiDriverEntry()) != 0) {
        std::fprintf(stderr, "zel_screenshot: the driver does not load on %s\n", board.c_str());
        return 1;
    }
    InProcessTransport transport;
    SetDeviceTransport(&transport);
    QTemporaryDir scratch;
    const QString absoluteOut = QDir::current().absoluteFilePath(out);
    QDir::setCurrent(scratch.path());

    int result = 1;
    {
        CMainFrame frame(false);
        frame.StartSession();
        frame.LoadFrame();
        AfxSetMainWnd(&frame);
        frame.ShowConfigDialog();
        if (CMonitorDlg* dlg = frame.m_pConfigDlg) {
            dlg->m_tab.SetCurSel(page);
            dlg->ShowTabPage(page);
            QApplication::processEvents();
            result = SaveWindowPng(*dlg, absoluteOut) ? 0 : 1;
            if (bPrintRss) {
                std::printf("VmRSS %ld kB\n", ResidentKiB());
            }
        }
        frame.DestroyWindow();
        AfxSetMainWnd(nullptr);
        QApplication::processEvents();
    }
    host::UnloadDriver();
    SetDeviceTransport(nullptr);
    return result;
}
