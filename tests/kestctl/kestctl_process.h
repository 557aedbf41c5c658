// The kestctl program run by tests and benchmarks, with its standard output and error on pipes.
#pragma once

#include <poll.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/host/kestatid_process.h"

namespace kesttest {

class KestctlProcess {
public:
    explicit KestctlProcess(std::vector<std::string> args) {
        args.insert(args.begin(), KESTCTL_PATH);
        std::vector<char*> argv = SpawnArgv(args);
        int in[2];
        int out[2];
        int err[2];
        if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        close(err[1]);
        m_in = in[1];
        m_out = out[0];
        m_err = err[0];
    }
    ~KestctlProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            Wait();
        }
        CloseInput();
        close(m_out);
        close(m_err);
    }

    // What the program reads on its standard input, and its end.
    void Input(const std::string& text) const {
        if (write(m_in, text.data(), text.size()) < 0) {
            // The program has gone; its exit status tells the test.
        }
    }
    void CloseInput() {
        if (m_in >= 0) {
            close(m_in);
            m_in = -1;
        }
    }

    // Reads standard output until it holds `lines` whole lines (or ends); what was read so far.
    const std::string& ReadLines(size_t lines, int limitMs = 20000) {
        long long end = kesttest::MonotonicMs() + limitMs;
        while (static_cast<size_t>(std::count(m_text.begin(), m_text.end(), '\n')) < lines &&
               kesttest::MonotonicMs() < end) {
            if (!ReadSome(m_out, &m_text, static_cast<int>(end - kesttest::MonotonicMs()))) {
                break;
            }
        }
        return m_text;
    }

    bool Started() const { return m_pid > 0; }
    void Signal(int signo) const { kill(m_pid, signo); }

    // Waits for the exit and collects the rest of both streams; the raw wait status.
    int Wait() {
        while (ReadSome(m_out, &m_text, 20000)) {
        }
        while (ReadSome(m_err, &m_errText, 20000)) {
        }
        int status = -1;
        while (m_pid > 0 && waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        return status;
    }

    const std::string& Out() const { return m_text; }
    const std::string& Err() const { return m_errText; }

private:
    static bool ReadSome(int fd, std::string* into, int limitMs) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, limitMs) <= 0) {
            return false;
        }
        char buffer[4096];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        into->append(buffer, static_cast<size_t>(n));
        return true;
    }

    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    int m_err = -1;
    std::string m_text;
    std::string m_errText;
};

}  // namespace kesttest
