#include "host/socket_server.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

#include "host/io_manager.h"
#include "protocol/frame.h"
#include "protocol/ioctl.h"

namespace host {

namespace {

constexpr size_t kMaxSimLine = 256;
constexpr int kReplySendTimeoutMs = 2000;

long long NowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

bool FillAddress(const std::string& path, sockaddr_un* address, std::string* error) {
    memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address->sun_path) {
        *error = "socket path '" + path + "' is empty or too long";
        return false;
    }
    memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// True when something accepts connections at `path`.
bool SocketAnswers(const sockaddr_un& address) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    bool answers = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return answers;
}

bool SendAll(int fd, const unsigned char* data, size_t length) {
    while (length > 0) {
        ssize_t n = send(fd, data, length, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

void MakeBlockingWithSendTimeout(int fd) {
    int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    timeval tv{kReplySendTimeoutMs / 1000, (kReplySendTimeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

void SendReply(int fd, KestU32 status, const unsigned char* output, KestU32 length) {
    std::vector<unsigned char> frame(kReplyHeaderSize + length);
    EncodeReplyHeader(ReplyHeader{status, length}, frame.data());
    if (length > 0) {
        memcpy(frame.data() + kReplyHeaderSize, output, length);
    }
    if (!SendAll(fd, frame.data(), frame.size())) {
        fprintf(stderr, "kestatid: client went away before its reply was sent\n");
    }
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
        if (SocketAnswers(address)) {
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
    if (listen(fd, 64) != 0) {
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
    m_deviceFd = ListenOnPath(devicePath, gid, error);
    if (m_deviceFd < 0) {
        RemoveSocket(m_simFd, m_simPath, m_simDev, m_simIno);
        return false;
    }
    if (stat(devicePath.c_str(), &st) == 0) {
        m_deviceDev = st.st_dev;
        m_deviceIno = st.st_ino;
    }
    m_stopping = false;
    for (int i = 0; i < m_limits.workers; ++i) {
        m_workers.emplace_back([this] { Worker(); });
    }
    return true;
}

void SocketServer::Run(int signalFd, const std::function<bool(int signo)>& onSignal) {
    for (;;) {
        std::vector<pollfd> fds;
        fds.push_back({signalFd, POLLIN, 0});
        fds.push_back({m_deviceFd, POLLIN, 0});
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
        // Pending connections first: the indices of fds match m_pending from slot 3 on.
        now = NowMs();
        std::vector<Pending> still;
        for (size_t i = 0; i < m_pending.size(); ++i) {
            Pending& p = m_pending[i];
            short revents = ready > 0 ? fds[3 + i].revents : 0;
            if (revents != 0) {
                if (ReadPending(p)) {
                    still.push_back(std::move(p));
                }
                continue;
            }
            if (now >= p.deadlineMs) {
                fprintf(stderr, "kestatid: client sent no complete request within %d ms; dropped\n",
                        m_limits.clientTimeoutMs);
                close(p.fd);
                std::lock_guard<std::mutex> lock(m_mutex);
                --m_active;
                continue;
            }
            still.push_back(std::move(p));
        }
        m_pending = std::move(still);
        if (ready > 0 && (fds[1].revents & POLLIN) != 0) {
            Accept(m_deviceFd, Kind::kDevice);
        }
        if (ready > 0 && m_simFd >= 0 && (fds[2].revents & POLLIN) != 0) {
            Accept(m_simFd, Kind::kSim);
        }
    }
}

void SocketServer::Accept(int listenFd, Kind kind) {
    for (;;) {
        int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;  // EAGAIN: nothing more waiting
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_active >= m_limits.maxConnections) {
                fprintf(stderr, "kestatid: %d connections in progress; refusing another\n",
                        m_active);
                close(fd);
                continue;
            }
            ++m_active;
        }
        m_pending.push_back(Pending{fd, kind, {}, NowMs() + m_limits.clientTimeoutMs});
    }
}

bool SocketServer::ReadPending(Pending& p) {
    auto drop = [&](const char* why) {
        if (why != nullptr) {
            fprintf(stderr, "kestatid: %s\n", why);
        }
        close(p.fd);
        std::lock_guard<std::mutex> lock(m_mutex);
        --m_active;
        return false;
    };
    for (;;) {
        size_t want;
        if (p.kind == Kind::kSim) {
            want = kMaxSimLine - p.data.size();
        } else if (p.data.size() < kRequestHeaderSize) {
            want = kRequestHeaderSize - p.data.size();
        } else {
            RequestHeader h = DecodeRequestHeader(p.data.data());
            want = kRequestHeaderSize + h.inLength - p.data.size();
        }
        unsigned char buffer[512];
        ssize_t n = want == 0 ? 0 : recv(p.fd, buffer, std::min(want, sizeof buffer), 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return true;
        }
        if (n < 0) {
            return drop("client connection failed while reading its request");
        }
        if (n == 0 && want > 0) {
            if (p.data.empty()) {
                return drop(nullptr);  // connected and closed: nothing to answer
            }
            if (p.kind == Kind::kSim) {
                break;  // a last line without its newline
            }
            return drop("client closed the connection in the middle of its request frame");
        }
        p.data.insert(p.data.end(), buffer, buffer + n);
        if (p.kind == Kind::kSim) {
            auto nl = std::find(p.data.begin(), p.data.end(), '\n');
            if (nl != p.data.end()) {
                p.data.erase(nl, p.data.end());
                break;
            }
            if (p.data.size() >= kMaxSimLine) {
                return drop("simulator command line too long; dropped");
            }
            continue;
        }
        if (p.data.size() == kRequestHeaderSize) {
            RequestHeader h = DecodeRequestHeader(p.data.data());
            switch (CheckRequestHeader(h)) {
                case FrameCheck::kBadMagic:
                    return drop("request frame with a wrong magic number; dropped");
                case FrameCheck::kTooLong: {
                    fprintf(stderr,
                            "kestatid: request 0x%08X asks for %u input and %u output bytes, more "
                            "than %u; refused\n",
                            h.code, h.inLength, h.outLength, kFrameMaxData);
                    MakeBlockingWithSendTimeout(p.fd);
                    SendReply(p.fd, kStatusInvalidParameter, nullptr, 0);
                    return drop(nullptr);
                }
                case FrameCheck::kOk:
                    break;
            }
        }
        if (p.data.size() >= kRequestHeaderSize &&
            p.data.size() == kRequestHeaderSize + DecodeRequestHeader(p.data.data()).inLength) {
            break;
        }
    }
    MakeBlockingWithSendTimeout(p.fd);
    Enqueue(Job{p.fd, p.kind, std::move(p.data)});
    return false;
}

void SocketServer::Enqueue(Job job) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void SocketServer::Worker() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty()) {
                return;
            }
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        if (job.kind == Kind::kDevice) {
            ServeDevice(job);
        } else {
            ServeSim(job);
        }
        close(job.fd);
        std::lock_guard<std::mutex> lock(m_mutex);
        --m_active;
    }
}

void SocketServer::ServeDevice(Job& job) {
    RequestHeader h = DecodeRequestHeader(job.data.data());
    const unsigned char* input = job.data.data() + kRequestHeaderSize;
    int32_t openStatus = 0;
    int handle = OpenDevice(KEST_USER_PATH, &openStatus);
    if (handle < 0) {
        fprintf(stderr, "kestatid: cannot open the device: status 0x%08X\n",
                static_cast<unsigned>(openStatus));
        SendReply(job.fd, static_cast<KestU32>(openStatus), nullptr, 0);
        return;
    }
    std::vector<unsigned char> output(h.outLength);
    uint32_t information = 0;
    int32_t status =
        DeviceControl(handle, h.code, h.inLength > 0 ? input : nullptr, h.inLength,
                      output.empty() ? nullptr : output.data(), h.outLength, &information);
    CloseDevice(handle);
    // Never more than the caller's buffer, whatever the driver claims.
    KestU32 length = std::min<KestU32>(information, h.outLength);
    SendReply(job.fd, static_cast<KestU32>(status), output.data(), length);
}

void SocketServer::ServeSim(Job& job) {
    std::string line(job.data.begin(), job.data.end());
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    std::string answer = m_simCommands(line);
    SendAll(job.fd, reinterpret_cast<const unsigned char*>(answer.data()), answer.size());
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
    RemoveSocket(m_deviceFd, m_devicePath, m_deviceDev, m_deviceIno);
    RemoveSocket(m_simFd, m_simPath, m_simDev, m_simIno);
    for (Pending& p : m_pending) {
        close(p.fd);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_active -= static_cast<int>(m_pending.size());
        m_stopping = true;
    }
    m_pending.clear();
    m_wake.notify_all();
    for (std::thread& t : m_workers) {
        t.join();
    }
    m_workers.clear();
}

}  // namespace host
