#include "app/shell/exit_signals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int sig) {
    const unsigned char byte = static_cast<unsigned char>(sig);
    // Nothing can be done about a full pipe: a signal is already pending then.
    [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
}

}  // namespace

ExitSignals::ExitSignals(std::function<void()> onSignal) : m_onSignal(std::move(onSignal)) {
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
    if (m_onSignal) {
        m_onSignal();
    }
}
