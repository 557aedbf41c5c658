// zel_monitor_screenshot: renders the monitoring windows offscreen on a simulated board, after
// some samples, to PNG files for review.
//
//   zel_monitor_screenshot details out.png [board] [item index]
//   zel_monitor_screenshot largechart out.png [board] [item index]
//   add --rss as the last argument to print the resident memory with both dialogs open
#include <QApplication>
#include <QListWidget>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/device/device_client.h"
#include "host/inprocess_transport.h"
#include "app/device/process_state.h"
#include "app/framework/framework.h"
#include "app/monitor/hardware_details_dlg.h"
#include "host/driver_entry.h"
#include "host/io_manager.h"
#include "sim/machine.h"
#include "tests/support/screenshot.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: zel_monitor_screenshot details|largechart out.png [board] [index] "
                 "[--rss]\n");
    return 2;
}

void Tick(CWnd& wnd, int n) {
    for (int i = 0; i < n; ++i) {
        wnd.SendMessage(WM_TIMER, 1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc < 3) {
        return Usage();
    }
    const std::string which = argv[1];
    const QString out = QString::fromLocal8Bit(argv[2]);
    const bool rss = std::strcmp(argv[argc - 1], "--rss") == 0;
    const int args = rss ? argc - 1 : argc;
    const std::string board = args > 3 ? argv[3] : "9800pro";
    const int index = args > 4 ? std::atoi(argv[4]) : 6;
    if (which != "details" && which != "largechart") {
        return Usage();
    }

    QApplication app(argc, argv);
    AfxInitFramework(false);

    sim::SteppedClock clock;
    std::unique_ptr<sim::Machine> machine = sim::Machine::Create(board, clock);
    if (!machine) {
        std::fprintf(stderr, "zel_monitor_screenshot: no board %s\n", board.c_str());
        return 1;
    }
    host::AttachPortBus(machine.get());
    host::LoadDriver(host::KestatiDriverEntry());
    InProcessTransport transport;
    SetDeviceTransport(&transport);
    g_nAdapterId = QueryAdapterInfo(3);
    g_nSubsystemId = QueryAdapterInfo(7);

    bool saved = false;
    CHardwareDetailsDlg details;
    SetModalDialogHook([&](CDialog& dlg) {
        if (dlg.GetTemplateID() == CHardwareDetailsDlg::IDD) {
            auto* list = qobject_cast<QListWidget*>(WidgetOf(dlg.GetDlgItemHwnd(1020)));
            // A click on the list, so that the fan shows its controls too.
            list->setCurrentRow(index == 0 ? 1 : 0);
            list->setCurrentRow(index);
            for (int i = 0; i < 40; ++i) {
                clock.Advance(1000);
                Tick(dlg, 1);
            }
            if (which == "details") {
                saved = SaveWindowPng(dlg, out);
            } else {
                dlg.SendMessage(WM_COMMAND, MAKEWPARAM(1067, STN_CLICKED), 0);
            }
        } else {
            for (int i = 0; i < 25; ++i) {
                clock.Advance(1000);
                Tick(details, 1);
                Tick(dlg, 1);
            }
            saved = SaveWindowPng(dlg, out);
            if (rss) {
                std::printf("VmRSS %ld kB\n", ResidentKiB());
            }
        }
        dlg.EndDialog(IDCANCEL);
    });
    details.DoModal();
    SetModalDialogHook({});
    SetDeviceTransport(nullptr);
    host::UnloadDriver();
    if (!saved) {
        std::fprintf(stderr, "zel_monitor_screenshot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
