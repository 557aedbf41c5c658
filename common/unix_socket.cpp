#include "common/unix_socket.h"

#include <errno.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

bool FillUnixAddress(const std::string& path, sockaddr_un* address) {
    memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address->sun_path) {
        return false;
    }
    memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

int ConnectUnixSocket(const std::string& path) {
    sockaddr_un address;
    if (!FillUnixAddress(path, &address)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    int rc;
    do {
        rc = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        const int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

bool SendAll(int fd, const void* data, size_t length) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (length > 0) {
        ssize_t n = send(fd, bytes, length, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

size_t ReceiveSome(int fd, void* data, size_t length, int timeoutMs) {
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        int ready = poll(&p, 1, timeoutMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return 0;
        }
        ssize_t n = recv(fd, data, length, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
}

bool ReceiveAll(int fd, void* data, size_t length, int timeoutMs) {
    auto* bytes = static_cast<unsigned char*>(data);
    while (length > 0) {
        const size_t n = ReceiveSome(fd, bytes, length, timeoutMs);
        if (n == 0) {
            return false;
        }
        bytes += n;
        length -= n;
    }
    return true;
}
