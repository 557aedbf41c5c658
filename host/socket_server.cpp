#include "host/socket_server.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

#include "common/unix_socket.h"
#include "host/io_manager.h"
#include "protocol/frame.h"
#include "protocol/ioctl.h"

namespace host {

namespace {

constexpr size_t kMaxSimLine = 256;
// A request that keeps the driver this long is slow: the accepting thread hands the accepting
// over before it serves the next one.
constexpr long long kSlowRequestUs = 1000;
constexpr int kReplySendTimeoutMs = 2000;

long long NowUs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

long long NowMs() {
    return NowUs() / 1000;
}

bool FillAddress(const std::string& path, sockaddr_un* address, std::string* error) {
    if (!FillUnixAddress(path, address)) {
        *error = "socket path '" + path + "' is empty or too long";
        return false;
    }
    return true;
}

// True when something accepts connections at `path`.
bool SocketAnswers(const std::string& path) {
    const int fd = ConnectUnixSocket(path);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

void MakeBlockingWithSendTimeout(int fd) {
    int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    timeval tv{kReplySendTimeoutMs / 1000, (kReplySendTimeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

// Sends the reply frame whose output, `length` bytes, already follows the header's place at the
// start of `frame`.
void SendReply(int fd, KestU32 status, unsigned char* frame, KestU32 length) {
    EncodeReplyHeader(ReplyHeader{status, length}, frame);
    if (!SendAll(fd, frame, kReplyHeaderSize + length)) {
        fprintf(stderr, "kestatid: client went away before its reply was sent\n");
    }
}

// A reply with nothing but its status.
void SendStatus(int fd, KestU32 status) {
    unsigned char frame[kReplyHeaderSize];
    SendReply(fd, status, frame, 0);
}

}  // namespace

int ListenOnPath(const std::string& path, gid_t gid, std::string* error) {
    sockaddr_un address;
    if (!FillAddress(path, &address, error)) {
        return -1;
    }
    struct stat st;
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            *error = path + " exists and is not a socket";
            return -1;
        }
        if (SocketAnswers(path)) {
            *error = path + " is in use by a running service";
            return -1;
        }
        fprintf(stderr, "kestatid: replacing stale socket %s\n", path.c_str());
        if (unlink(path.c_str()) != 0 && errno != ENOENT) {
            *error = "cannot remove stale socket " + path + ": " + strerror(errno);
            return -1;
        }
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        *error = std::string("socket: ") + strerror(errno);
        return -1;
    }
    // Created 0660 from the start, so that there is no moment in which others may connect.
    mode_t old = umask(0117);
    int bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    int bindErrno = errno;
    umask(old);
    if (bound != 0) {
        *error = "cannot bind " + path + ": " + strerror(bindErrno);
        close(fd);
        return -1;
    }
    chmod(path.c_str(), 0660);
    if (gid != static_cast<gid_t>(-1) && chown(path.c_str(), static_cast<uid_t>(-1), gid) != 0) {
        fprintf(stderr, "kestatid: cannot give %s to group %u: %s\n", path.c_str(),
                static_cast<unsigned>(gid), strerror(errno));
    }
    // Clients beyond the connection limit wait in this queue; they are not refused.
    if (listen(fd, SOMAXCONN) != 0) {
        *error = "cannot listen on " + path + ": " + strerror(errno);
        close(fd);
        unlink(path.c_str());
        return -1;
    }
    return fd;
}

SocketServer::~SocketServer() {
    Stop();
}

bool SocketServer::Start(const std::string& devicePath, const std::string& simPath, gid_t gid,
                         SimCommandHandler simCommands, ServerLimits limits, std::string* error) {
    m_devicePath = devicePath;
    m_simPath = simPath;
    m_simCommands = std::move(simCommands);
    m_limits = limits;
    // The board's control socket first: once the device answers, everything answers.
    struct stat st;
    if (m_simCommands) {
        m_simFd = ListenOnPath(simPath, gid, error);
        if (m_simFd < 0) {
            return false;
        }
        if (stat(simPath.c_str(), &st) == 0) {
            m_simDev = st.st_dev;
            m_simIno = st.st_ino;
        }
    }
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        *error = std::string("eventfd: ") + strerror(errno);
        RemoveSocket(m_simFd, m_simPath, m_simDev, m_simIno);
        return false;
    }
    m_deviceFd = ListenOnPath(devicePath, gid, error);
    if (m_deviceFd < 0) {
        RemoveSocket(m_simFd, m_simPath, m_simDev, m_simIno);
        close(m_wakeFd);
        m_wakeFd = -1;
        return false;
    }
    if (stat(devicePath.c_str(), &st) == 0) {
        m_deviceDev = st.st_dev;
        m_deviceIno = st.st_ino;
    }
    // The accepting threads wait in accept() itself, so that each connection wakes just one.
    fcntl(m_deviceFd, F_SETFL, fcntl(m_deviceFd, F_GETFL) & ~O_NONBLOCK);
    m_stopping = false;
    for (int i = 0; i < m_limits.workers; ++i) {
        m_workers.emplace_back([this] { Worker(); });
    }
    for (int i = 0; i < m_limits.acceptors; ++i) {
        m_acceptors.emplace_back([this] { Acceptor(); });
    }
    return true;
}

bool SocketServer::TakeSlot() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_slotFree.wait(lock, [this] { return m_stopping || m_connections < m_limits.maxConnections; });
    if (m_stopping) {
        return false;
    }
    ++m_connections;
    return true;
}

void SocketServer::EndConnection(int fd) {
    if (fd >= 0) {
        close(fd);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        --m_connections;
    }
    m_slotFree.notify_one();
}

bool SocketServer::TakeAccepting() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_acceptingFree.wait(lock, [this] { return m_stopping || !m_accepting; });
    if (m_stopping) {
        return false;
    }
    m_accepting = true;
    return true;
}

void SocketServer::HandOverAccepting() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_accepting = false;
    }
    m_acceptingFree.notify_one();
}

void SocketServer::Acceptor() {
    bool accepting = false;
    for (;;) {
        if (!accepting && !TakeAccepting()) {
            return;
        }
        accepting = true;
        // A place is taken before the connection is: at the limit, clients stay queued.
        if (!TakeSlot()) {
            return;
        }
        int fd = accept4(m_deviceFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            const int e = errno;
            EndConnection(-1);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_stopping) {
                    return;
                }
            }
            if (e == EMFILE || e == ENFILE || e == ENOBUFS || e == ENOMEM) {
                fprintf(stderr, "kestatid: cannot accept a connection: %s\n", strerror(e));
                timespec pause{0, 50 * 1000 * 1000};
                nanosleep(&pause, nullptr);
            } else if (e == EINVAL || e == EBADF) {
                return;  // the listening socket is shut down
            }
            continue;
        }
        ServeOrPass(fd, NowMs(), &accepting);
    }
}

void SocketServer::ServeOrPass(int fd, long long acceptedMs, bool* accepting) {
    FrameReader frame;
    const long long promptEnd = acceptedMs + m_limits.promptMs;
    for (;;) {
        switch (ReadDeviceFrame(fd, frame)) {
            case Progress::kDropped:
                EndConnection(fd);
                return;
            case Progress::kReady: {
                // While requests are slow (a fault keeps the driver polling), nobody should
                // wait for this one to end before being accepted.
                if (*accepting && m_slowRequests.load(std::memory_order_relaxed)) {
                    HandOverAccepting();
                    *accepting = false;
                }
                const long long start = NowUs();
                ServeDevice(fd, frame);
                m_slowRequests.store(NowUs() - start >= kSlowRequestUs, std::memory_order_relaxed);
                EndConnection(fd);
                return;
            }
            case Progress::kWaiting:
                break;
        }
        pollfd p{fd, POLLIN, 0};
        if (*accepting && NowMs() < promptEnd) {
            // Most clients send at once: a short wait first, then another thread accepts.
            const timespec shortWait{0, static_cast<long>(m_limits.handOverUs) * 1000};
            if (ppoll(&p, 1, &shortWait, nullptr) > 0) {
                continue;
            }
            HandOverAccepting();
            *accepting = false;
        }
        const long long left = promptEnd - NowMs();
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) == 0) {
            break;
        }
    }
    // Slow to send: the event loop waits for the rest without holding this thread.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_stopping) {
            m_passed.push_back(Pending{
                fd, Kind::kDevice, std::move(frame), {}, acceptedMs + m_limits.clientTimeoutMs});
            fd = -1;
        }
    }
    if (fd >= 0) {
        EndConnection(fd);
        return;
    }
    const uint64_t one = 1;
    if (write(m_wakeFd, &one, sizeof one) < 0) {
        // The counter is already non-zero: the event loop will look anyway.
    }
}

void SocketServer::TakePassed() {
    uint64_t count;
    if (read(m_wakeFd, &count, sizeof count) < 0) {
        // Nothing was signalled; the list below is simply empty.
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Pending& p : m_passed) {
        m_pending.push_back(std::move(p));
    }
    m_passed.clear();
}

void SocketServer::Run(int signalFd, const std::function<bool(int signo)>& onSignal) {
    constexpr size_t kFixed = 3;  // signals, passed connections, board control socket
    for (;;) {
        std::vector<pollfd> fds;
        fds.push_back({signalFd, POLLIN, 0});
        fds.push_back({m_wakeFd, POLLIN, 0});
        fds.push_back({m_simFd, POLLIN, 0});
        long long now = NowMs();
        int timeout = -1;
        for (const Pending& p : m_pending) {
            fds.push_back({p.fd, POLLIN, 0});
            int left = static_cast<int>(std::max(0LL, p.deadlineMs - now));
            timeout = timeout < 0 ? left : std::min(timeout, left);
        }
        int ready = poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno != EINTR) {
            fprintf(stderr, "kestatid: poll: %s\n", strerror(errno));
            return;
        }
        if (ready > 0 && (fds[0].revents & POLLIN) != 0) {
            signalfd_siginfo info;
            while (read(signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                if (!onSignal(static_cast<int>(info.ssi_signo))) {
                    return;
                }
            }
        }
        // Pending connections first: the indices of fds match m_pending from kFixed on.
        now = NowMs();
        std::vector<Pending> still;
        for (size_t i = 0; i < m_pending.size(); ++i) {
            Pending& p = m_pending[i];
            short revents = ready > 0 ? fds[kFixed + i].revents : 0;
            if (revents != 0) {
                Progress progress = p.kind == Kind::kDevice ? ReadDeviceFrame(p.fd, p.frame)
                                                            : ReadSimLine(p.fd, p.line);
                if (progress == Progress::kWaiting) {
                    still.push_back(std::move(p));
                } else if (progress == Progress::kReady) {
                    Enqueue(std::move(p));
                } else {
                    EndConnection(p.fd);
                }
                continue;
            }
            if (now >= p.deadlineMs) {
                fprintf(stderr, "kestatid: client sent no complete request within %d ms; dropped\n",
                        m_limits.clientTimeoutMs);
                EndConnection(p.fd);
                continue;
            }
            still.push_back(std::move(p));
        }
        m_pending = std::move(still);
        if (ready > 0 && (fds[1].revents & POLLIN) != 0) {
            TakePassed();
        }
        if (ready > 0 && m_simFd >= 0 && (fds[2].revents & POLLIN) != 0) {
            AcceptSim();
        }
    }
}

void SocketServer::AcceptSim() {
    for (;;) {
        int fd = accept4(m_simFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;  // EAGAIN: nothing more waiting
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_connections >= m_limits.maxConnections) {
                fprintf(stderr, "kestatid: %d connections in progress; refusing a board command\n",
                        m_connections);
                close(fd);
                continue;
            }
            ++m_connections;
        }
        m_pending.push_back(Pending{fd, Kind::kSim, {}, {}, NowMs() + m_limits.clientTimeoutMs});
    }
}

ssize_t SocketServer::ReceiveNow(int fd, unsigned char* buffer, size_t want, Progress* then) {
    for (;;) {
        ssize_t n = recv(fd, buffer, want, MSG_DONTWAIT);
        if (n >= 0) {
            return n;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            *then = Progress::kWaiting;
        } else {
            fprintf(stderr, "kestatid: client connection failed while reading its request\n");
            *then = Progress::kDropped;
        }
        return -1;
    }
}

SocketServer::Progress SocketServer::ReadDeviceFrame(int fd, FrameReader& frame) {
    while (frame.State() == FrameReader::Status::kNeedMore) {
        unsigned char buffer[512];
        Progress then = Progress::kWaiting;
        ssize_t n = ReceiveNow(fd, buffer, std::min(frame.Missing(), sizeof buffer), &then);
        if (n < 0) {
            return then;
        }
        if (n == 0) {
            if (frame.Started()) {
                fprintf(stderr,
                        "kestatid: client closed the connection in the middle of its request "
                        "frame\n");
            }
            return Progress::kDropped;  // connected and closed without a word: nothing to answer
        }
        frame.Take(buffer, static_cast<size_t>(n));
    }
    switch (frame.State()) {
        case FrameReader::Status::kBadMagic:
            fprintf(stderr, "kestatid: request frame with a wrong magic number; dropped\n");
            return Progress::kDropped;
        case FrameReader::Status::kTooLong: {
            const RequestHeader& h = frame.Header();
            fprintf(stderr,
                    "kestatid: request 0x%08X asks for %u input and %u output bytes, more than "
                    "%u; refused\n",
                    h.code, h.inLength, h.outLength, kFrameMaxData);
            MakeBlockingWithSendTimeout(fd);
            SendStatus(fd, kStatusInvalidParameter);
            return Progress::kDropped;
        }
        default:
            return Progress::kReady;
    }
}

SocketServer::Progress SocketServer::ReadSimLine(int fd, std::vector<unsigned char>& line) {
    for (;;) {
        unsigned char buffer[512];
        Progress then = Progress::kWaiting;
        ssize_t n =
            ReceiveNow(fd, buffer, std::min(kMaxSimLine - line.size(), sizeof buffer), &then);
        if (n < 0) {
            return then;
        }
        if (n == 0) {
            // A last line without its newline still counts.
            return line.empty() ? Progress::kDropped : Progress::kReady;
        }
        line.insert(line.end(), buffer, buffer + n);
        auto nl = std::find(line.begin(), line.end(), '\n');
        if (nl != line.end()) {
            line.erase(nl, line.end());
            return Progress::kReady;
        }
        if (line.size() >= kMaxSimLine) {
            fprintf(stderr, "kestatid: simulator command line too long; dropped\n");
            return Progress::kDropped;
        }
    }
}

void SocketServer::Enqueue(Pending p) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(std::move(p));
    }
    m_jobReady.notify_one();
}

void SocketServer::Worker() {
    for (;;) {
        Pending job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_jobReady.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty()) {
                return;
            }
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        MakeBlockingWithSendTimeout(job.fd);
        if (job.kind == Kind::kDevice) {
            ServeDevice(job.fd, job.frame);
        } else {
            ServeSim(job.fd, job.line);
        }
        EndConnection(job.fd);
    }
}

void SocketServer::ServeDevice(int fd, const FrameReader& frame) {
    const RequestHeader& h = frame.Header();
    int32_t openStatus = 0;
    int handle = OpenDevice(KEST_USER_PATH, &openStatus);
    if (handle < 0) {
        fprintf(stderr, "kestatid: cannot open the device: status 0x%08X\n",
                static_cast<unsigned>(openStatus));
        SendStatus(fd, static_cast<KestU32>(openStatus));
        return;
    }
    // The driver writes its output straight into the reply; the frame reader has already
    // refused any output length beyond a frame's.
    unsigned char reply[kReplyHeaderSize + kFrameMaxData];
    unsigned char* output = reply + kReplyHeaderSize;
    memset(output, 0, h.outLength);
    uint32_t information = 0;
    int32_t status =
        DeviceControl(handle, h.code, h.inLength > 0 ? frame.Input() : nullptr, h.inLength,
                      h.outLength > 0 ? output : nullptr, h.outLength, &information);
    CloseDevice(handle);
    // Never more than the caller's buffer, whatever the driver claims.
    KestU32 length = std::min<KestU32>(information, h.outLength);
    SendReply(fd, static_cast<KestU32>(status), reply, length);
}

void SocketServer::ServeSim(int fd, const std::vector<unsigned char>& data) {
    std::string line(data.begin(), data.end());
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    std::string answer = m_simCommands(line);
    SendAll(fd, reinterpret_cast<const unsigned char*>(answer.data()), answer.size());
}

void SocketServer::RemoveSocket(int& fd, const std::string& path, dev_t dev, ino_t ino) {
    if (fd < 0) {
        return;
    }
    close(fd);
    fd = -1;
    // Only our own socket: a service started meanwhile at the same path keeps its own.
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && st.st_dev == dev && st.st_ino == ino) {
        unlink(path.c_str());
    }
}

void SocketServer::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_slotFree.notify_all();
    m_acceptingFree.notify_all();
    m_jobReady.notify_all();
    // Wakes the accepting thread out of accept() and the others out of their wait; each
    // finishes the request it is serving.
    if (m_deviceFd >= 0) {
        shutdown(m_deviceFd, SHUT_RDWR);
    }
    for (std::thread& t : m_acceptors) {
        t.join();
    }
    m_acceptors.clear();
    RemoveSocket(m_deviceFd, m_devicePath, m_deviceDev, m_deviceIno);
    RemoveSocket(m_simFd, m_simPath, m_simDev, m_simIno);
    // Connections still being read are dropped; requests already read are served.
    if (m_wakeFd >= 0) {
        TakePassed();
    }
    for (Pending& p : m_pending) {
        EndConnection(p.fd);
    }
    m_pending.clear();
    for (std::thread& t : m_workers) {
        t.join();
    }
    m_workers.clear();
    if (m_wakeFd >= 0) {
        close(m_wakeFd);
        m_wakeFd = -1;
    }
}

}  // namespace host
