// Publishes the driver's device as a Unix socket: each connection is one open handle that
// carries exactly one device-control request. Frames are read on one event loop, so a slow or
// silent client never holds a worker; complete, valid requests go to a bounded set of worker
// threads that hand them to the I/O manager emulation.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "protocol/frame.h"

namespace host {

// Binds a listening socket at `path`, mode 0660 and group `gid` (unless (gid_t)-1). A socket
// file nobody answers on (left by a crash) is replaced; a live one is refused.
int ListenOnPath(const std::string& path, gid_t gid, std::string* error);

// Answers one line of the simulated board's control socket.
using SimCommandHandler = std::function<std::string(const std::string& line)>;

struct ServerLimits {
    int workers = 4;
    int maxConnections = 256;  // connections being read, queued or served at once
    int clientTimeoutMs = kFrameClientTimeoutMs;
};

class SocketServer {
public:
    SocketServer() = default;
    ~SocketServer();
    SocketServer(const SocketServer&) = delete;
    SocketServer& operator=(const SocketServer&) = delete;

    // Listens on the device socket and, when simCommands is set, on `simPath` too.
    bool Start(const std::string& devicePath, const std::string& simPath, gid_t gid,
               SimCommandHandler simCommands, ServerLimits limits, std::string* error);

    // Serves until `onSignal` returns false. `signalFd` is a signalfd; each signal read from it
    // is passed to `onSignal`.
    void Run(int signalFd, const std::function<bool(int signo)>& onSignal);

    // Removes the sockets, drops connections still being read, lets queued requests finish.
    void Stop();

private:
    enum class Kind { kDevice, kSim };
    struct Pending {
        int fd;
        Kind kind;
        std::vector<unsigned char> data;
        long long deadlineMs;
    };
    struct Job {
        int fd;
        Kind kind;
        std::vector<unsigned char> data;
    };

    void Accept(int listenFd, Kind kind);
    // Reads what a pending connection has; returns false when it is finished with (handed to a
    // worker or dropped).
    bool ReadPending(Pending& p);
    void Enqueue(Job job);
    void Worker();
    void ServeDevice(Job& job);
    void ServeSim(Job& job);
    void RemoveSocket(int& fd, const std::string& path, dev_t dev, ino_t ino);

    std::string m_devicePath;
    std::string m_simPath;
    int m_deviceFd = -1;
    int m_simFd = -1;
    dev_t m_deviceDev = 0;
    ino_t m_deviceIno = 0;
    dev_t m_simDev = 0;
    ino_t m_simIno = 0;
    SimCommandHandler m_simCommands;
    ServerLimits m_limits;

    std::vector<Pending> m_pending;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    int m_active = 0;  // jobs queued or being served
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

}  // namespace host
