// Publishes the driver's device as a Unix socket: each connection is one open handle that
// carries exactly one device-control request. One of a few accepting threads at a time takes
// connections straight from the listening socket and serves a client that sends its request at
// once on the spot, with no hand-off; it goes on accepting while its clients are prompt and their
// requests quick, so that one warm thread carries a steady stream. When a client keeps it
// waiting, or requests have become slow, it hands the accepting over to another thread first. A
// client that is slow to send is passed to the event loop, which waits for its request (or drops it
// after the client time-out) without holding a thread, and hands the request to a small pool of
// workers.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/frame_reader.h"
#include "protocol/frame.h"

namespace host {

// Binds a listening socket at `path`, mode 0660 and group `gid` (unless (gid_t)-1). A socket
// file nobody answers on (left by a crash) is replaced; a live one is refused.
int ListenOnPath(const std::string& path, gid_t gid, std::string* error);

// Answers one line of the simulated board's control socket.
using SimCommandHandler = std::function<std::string(const std::string& line)>;

struct ServerLimits {
    int acceptors = 4;  // threads that take turns accepting connections and serve prompt clients
    int workers = 2;    // threads that serve the requests of clients that were slow to send them
    // Connections being read, queued or served at once. Further clients wait in the listening
    // socket's queue until one ends; none is refused.
    int maxConnections = 256;
    int clientTimeoutMs = kFrameClientTimeoutMs;
    // How long an accepting thread waits for a request before it passes the connection on.
    int promptMs = 1;
    // How long it waits before it lets another thread accept meanwhile.
    int handOverUs = 100;
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

    // Removes the sockets, drops connections still being read, lets requests already read
    // finish.
    void Stop();

private:
    enum class Kind { kDevice, kSim };
    struct Pending {
        int fd;
        Kind kind;
        FrameReader frame;                // device requests
        std::vector<unsigned char> line;  // simulator commands
        long long deadlineMs;
    };
    enum class Progress { kWaiting, kReady, kDropped };

    void Acceptor();
    // Waits until this thread may accept; false when the server stops.
    bool TakeAccepting();
    void HandOverAccepting();
    // Serves a fresh device connection on this thread if its request arrives promptly;
    // otherwise passes it to the event loop. Hands the accepting over (and clears `accepting`)
    // once the client has kept this thread waiting.
    void ServeOrPass(int fd, long long acceptedMs, bool* accepting);
    void AcceptSim();
    // One read that does not wait: the byte count, 0 when the client has closed, or -1 with
    // `then` saying whether to wait for more or to drop the connection (a failure, logged).
    static ssize_t ReceiveNow(int fd, unsigned char* buffer, size_t want, Progress* then);
    // Reads what the client has sent so far, without waiting.
    Progress ReadDeviceFrame(int fd, FrameReader& frame);
    Progress ReadSimLine(int fd, std::vector<unsigned char>& line);
    // Takes the connections the accepting threads passed on into the event loop's set.
    void TakePassed();
    void Enqueue(Pending p);
    void Worker();
    void ServeDevice(int fd, const FrameReader& frame);
    void ServeSim(int fd, const std::vector<unsigned char>& line);
    // Closes a finished connection and frees its place.
    void EndConnection(int fd);
    bool TakeSlot();
    void RemoveSocket(int& fd, const std::string& path, dev_t dev, ino_t ino);

    std::string m_devicePath;
    std::string m_simPath;
    int m_deviceFd = -1;
    int m_simFd = -1;
    int m_wakeFd = -1;  // eventfd: connections were passed to the event loop
    dev_t m_deviceDev = 0;
    ino_t m_deviceIno = 0;
    dev_t m_simDev = 0;
    ino_t m_simIno = 0;
    SimCommandHandler m_simCommands;
    ServerLimits m_limits;

    std::vector<Pending> m_pending;  // the event loop's own

    std::mutex m_mutex;
    std::condition_variable m_jobReady;
    std::condition_variable m_slotFree;
    std::condition_variable m_acceptingFree;
    bool m_accepting = false;                 // a thread is accepting
    std::atomic<bool> m_slowRequests{false};  // the last request served kept the driver long
    std::vector<Pending> m_passed;            // from the accepting threads to the event loop
    std::deque<Pending> m_jobs;               // complete requests for the workers
    int m_connections = 0;  // places taken: connections open, or about to be accepted
    bool m_stopping = false;
    std::vector<std::thread> m_acceptors;
    std::vector<std::thread> m_workers;
};

}  // namespace host
