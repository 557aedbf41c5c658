// What the closing state needs of Qt: calls posted through the application's event queue, and
// the end of the program's message loop.
#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include "app/framework/closing.h"
#include "app/framework/closing_steps.h"

void AfxPostToMessageLoop(void (*fn)()) {
    QTimer::singleShot(0, QCoreApplication::instance(), fn);
}

void AfxEndSystemLoops() {}  // popup menus run as the layer's own modal loops

void AfxPostQuitMessage(int nExitCode) {
    QTimer::singleShot(0, QCoreApplication::instance(), [nExitCode]() {
        // exit() with no loop running would make the next loop return at once.
        if (QThread::currentThread()->loopLevel() > 0) {
            QCoreApplication::exit(nExitCode);
        }
    });
}
