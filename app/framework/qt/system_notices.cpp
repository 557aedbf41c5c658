#include "app/framework/qt/system_notices.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "app/framework/app.h"
#include "app/framework/closing.h"
#include "app/framework/win32_api.h"
#include "app/framework/wnd.h"

namespace {

int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int sig) {
    const unsigned char byte = static_cast<unsigned char>(sig);
    // Nothing can be done about a full pipe: a signal is already pending then.
    [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
}

constexpr const char* kLogin1Service = "org.freedesktop.login1";
constexpr const char* kLogin1Path = "/org/freedesktop/login1";
constexpr const char* kLogin1Manager = "org.freedesktop.login1.Manager";

}  // namespace

void AfxEndSession() {
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd == nullptr || pMainWnd->GetSafeHwnd() == nullptr) {
        AfxBeginClosing(nullptr, 0);
        return;
    }
    // The answer cannot stop the end of a session; it is asked for as Windows asks it.
    pMainWnd->SendMessage(WM_QUERYENDSESSION, 0, 0);
    if (CWnd* still = AfxGetMainWnd(); still != nullptr) {
        still->SendMessage(WM_ENDSESSION, TRUE, 0);
    }
}

ExitSignals::ExitSignals() {
    if (g_pipe[0] < 0) {
        if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            return;
        }
    }
    m_pNotifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, [this]() { OnReadable(); });
    struct sigaction sa {};
    sa.sa_handler = &OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    m_bInstalled = true;
    for (int sig : kSignals) {
        m_bInstalled = sigaction(sig, &sa, nullptr) == 0 && m_bInstalled;
    }
}

ExitSignals::~ExitSignals() {
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (int sig : kSignals) {
        sigaction(sig, &sa, nullptr);
    }
}

void ExitSignals::OnReadable() {
    unsigned char bytes[16];
    while (read(g_pipe[0], bytes, sizeof(bytes)) > 0) {
    }
    AfxEndSession();
}

ResumeWatcher::ResumeWatcher(const QDBusConnection& bus) {
    QDBusConnection connection(bus);
    m_bListening =
        connection.isConnected() &&
        connection.connect(QString::fromLatin1(kLogin1Service), QString::fromLatin1(kLogin1Path),
                           QString::fromLatin1(kLogin1Manager), QStringLiteral("PrepareForSleep"),
                           this, SLOT(OnPrepareForSleep(bool)));
}

void ResumeWatcher::OnPrepareForSleep(bool bStarting) {
    if (bStarting) {
        return;
    }
    if (CWnd* pMainWnd = AfxGetMainWnd(); pMainWnd != nullptr) {
        pMainWnd->SendMessage(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    }
}
