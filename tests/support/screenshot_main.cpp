// zel_screenshot: renders one window of the program offscreen to a PNG file, for review.
//
//   zel_screenshot confirm out.png          the clock confirm dialog with sample clocks
//   zel_screenshot template:<id> out.png    any dialog template as a plain dialog
//   zel_screenshot main:<board>[:<page>] out.png
//                                           the main dialog set up on a simulated catalogue board
//                                           (in this process), on tab page 0, 1 or 2
//   add --rss to print the process's resident memory while the window is shown
#include <QApplication>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/clock/clock_confirm_dlg.h"
#include "tests/support/main_dialog_shot.h"
#include "app/framework/framework.h"
#include "tests/support/screenshot.h"

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: zel_screenshot confirm|template:<id>|main:<board>[:<page>] out.png [--rss]\n");
    return 2;
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
    const bool rss = argc > 3 && std::strcmp(argv[3], "--rss") == 0;

    QApplication app(argc, argv);
    AfxInitFramework(false);

    if (which.rfind("main:", 0) == 0) {
        return SaveMainDialogShot(which.substr(5), out, rss);
    }

    std::unique_ptr<CDialog> dialog;
    if (which == "confirm") {
        auto confirm = std::make_unique<CClockConfirmDlg>();
        confirm->m_strSummary = "VPU SPEED->400 MHz/MEMORY SPEED->600 MHz";
        dialog = std::move(confirm);
    } else if (which.rfind("template:", 0) == 0) {
        dialog = std::make_unique<CDialog>(static_cast<UINT>(std::stoul(which.substr(9))));
    } else {
        return Usage();
    }

    bool saved = false;
    SetModalDialogHook([&](CDialog& dlg) {
        saved = SaveWindowPng(dlg, out);
        if (rss) {
            std::printf("VmRSS %ld kB\n", ResidentKiB());
        }
        dlg.EndDialog(IDCANCEL);
    });
    if (dialog->DoModal() == -1) {
        std::fprintf(stderr, "zel_screenshot: no such window\n");
        return 1;
    }
    if (!saved) {
        std::fprintf(stderr, "zel_screenshot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
