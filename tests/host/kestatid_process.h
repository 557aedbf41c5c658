// Runs the real kestatid in a private directory for end-to-end tests and benchmarks: its own
// device socket, service key and log, found through the environment the clients read.
#pragma once

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/unix_socket.h"

extern char** environ;

namespace kesttest {

inline long long MonotonicMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

inline bool Connects(const std::string& path) {
    const int fd = ConnectUnixSocket(path);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

// The argv of `args` for posix_spawn; points into `args`, which must outlive it.
inline std::vector<char*> SpawnArgv(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    return argv;
}

// A private temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/kestatid-test-XXXXXX";
        m_path = mkdtemp(pattern);
    }
    ~TempDir() {
        std::string command = "rm -rf '" + m_path + "'";
        if (system(command.c_str()) != 0) {
            // Nothing more to do about a temp directory that will not go.
        }
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

#ifdef KESTATID_PATH
// Tests that start the service get the binary's path from the build.
class Kestatid {
public:
    explicit Kestatid(const std::string& dir)
        : m_socket(dir + "/kestati.sock"),
          m_key(dir + "/KestATI.reg"),
          m_log(dir + "/kestatid.log") {}
    ~Kestatid() { Kill(); }

    const std::string& Socket() const { return m_socket; }
    const std::string& ServiceKey() const { return m_key; }

    // Starts the service; extra arguments follow the private paths.
    bool Start(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {KESTATID_PATH, "--socket", m_socket, "--service-key",
                                         m_key};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv = SpawnArgv(args);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, m_log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        int rc = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            m_pid = -1;
            return false;
        }
        return true;
    }

    // Polls until the device socket answers, or the process has ended (then false).
    bool WaitReady(int limitMs = 20000) {
        long long end = MonotonicMs() + limitMs;
        while (MonotonicMs() < end) {
            if (Connects(m_socket)) {
                return true;
            }
            int status = 0;
            if (m_pid > 0 && waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                m_exit = status;
                return false;
            }
            timespec pause{0, 2 * 1000 * 1000};
            nanosleep(&pause, nullptr);
        }
        return false;
    }

    bool StartAndWait(const std::vector<std::string>& extra = {}) {
        return Start(extra) && WaitReady();
    }

    // Sends `signo` and waits for the exit; returns the raw wait status (-1 if not running).
    int StopWith(int signo = SIGTERM) {
        if (m_pid <= 0) {
            return m_exit;
        }
        kill(m_pid, signo);
        return Wait();
    }

    // Waits for the process to end on its own.
    int Wait() {
        if (m_pid <= 0) {
            return m_exit;
        }
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        m_exit = status;
        return status;
    }

    void Signal(int signo) const {
        if (m_pid > 0) {
            kill(m_pid, signo);
        }
    }

    void Kill() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            Wait();
        }
    }

    pid_t Pid() const { return m_pid; }

    std::string Log() const {
        std::ifstream in(m_log);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Polls the log until it holds `text`.
    bool WaitForLog(const std::string& text, int limitMs = 10000) const {
        long long end = MonotonicMs() + limitMs;
        while (MonotonicMs() < end) {
            if (Log().find(text) != std::string::npos) {
                return true;
            }
            timespec pause{0, 2 * 1000 * 1000};
            nanosleep(&pause, nullptr);
        }
        return false;
    }

private:
    std::string m_socket;
    std::string m_key;
    std::string m_log;
    pid_t m_pid = -1;
    int m_exit = -1;
};

#endif  // KESTATID_PATH

}  // namespace kesttest
