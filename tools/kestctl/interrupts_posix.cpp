#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include "tools/kestctl/interrupts.h"

namespace {

// The handler's only work: one byte into a pipe that the waits poll. It stays in the pipe, so
// every later wait sees it too.
int g_pipe[2] = {-1, -1};
struct sigaction g_previousInt;
struct sigaction g_previousTerm;

void OnSignal(int) {
    int saved = errno;
    const char byte = 1;
    if (write(g_pipe[1], &byte, 1) < 0) {
        // The pipe is full: a signal is noted already.
    }
    errno = saved;
}

}  // namespace

Interrupts::Interrupts() {
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a blocking call returns at once
    sigaction(SIGINT, &action, &g_previousInt);
    sigaction(SIGTERM, &action, &g_previousTerm);
}

Interrupts::~Interrupts() {
    if (g_pipe[0] < 0) {
        return;
    }
    sigaction(SIGINT, &g_previousInt, nullptr);
    sigaction(SIGTERM, &g_previousTerm, nullptr);
    close(g_pipe[0]);
    close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

bool Interrupts::Arrived() const {
    return Wait(0) == Wake::kInterrupt;
}

Interrupts::Wake Interrupts::Wait(int ms, int inputFd) const {
    pollfd fds[2] = {{g_pipe[0], POLLIN, 0}, {inputFd, POLLIN, 0}};
    const nfds_t count = inputFd >= 0 ? 2 : 1;
    for (;;) {
        int ready = poll(fds, count, ms);
        if (ready < 0 && errno == EINTR) {
            continue;  // the signal's byte is in the pipe now
        }
        if (ready <= 0) {
            return Wake::kTimeout;
        }
        if (fds[0].revents != 0) {
            return Wake::kInterrupt;
        }
        return Wake::kInput;
    }
}
