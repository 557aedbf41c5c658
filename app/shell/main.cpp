// zel: the tray program.
#include <stdio.h>

#include <string>

#include "app/device/device_transport.h"
#include "app/framework/framework.h"
#include "app/shell/norlex_app.h"
#include "host/simulated_board.h"

int main(int argc, char** argv) {
    std::string error;
    if (!SelectDeviceTransport(&host::HostOnSimulatedBoard, &error)) {
        fprintf(stderr, "zel: %s\n", error.c_str());
        return 1;
    }
    if (!AfxWinInit(argc, argv)) {
        return 1;
    }
    int result = 0;
    {
        CNorlexApp theApp;
        if (theApp.InitInstance(AfxIsNotificationAreaAvailable() != FALSE)) {
            result = AfxRunMessageLoop();
        }
    }
    AfxWinTerm();
    return result;
}
