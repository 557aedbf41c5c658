// zel: the tray program.
#include "app/framework/framework.h"
#include "app/shell/norlex_app.h"

int main(int argc, char** argv) {
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
