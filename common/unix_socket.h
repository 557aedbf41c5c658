// The Unix-socket plumbing of the device socket: one home for the service, its clients and the
// tests. Every call retries after signals; nothing raises SIGPIPE.
#pragma once

#include <stddef.h>
#include <sys/un.h>

#include <string>

// Fills a Unix-socket address for `path`; false when the path is empty or too long for one.
bool FillUnixAddress(const std::string& path, sockaddr_un* address);

// A connected stream socket (close-on-exec) to `path`, or -1 with errno set (ENAMETOOLONG for a
// path that does not fit an address).
int ConnectUnixSocket(const std::string& path);

// Sends every byte; false when the peer is gone.
bool SendAll(int fd, const void* data, size_t length);

// Whatever has arrived, up to `length` bytes, once something has (waiting at most `timeoutMs`):
// the byte count, or 0 on a timeout, an error or the end of the stream.
size_t ReceiveSome(int fd, void* data, size_t length, int timeoutMs);

// Receives exactly `length` bytes, waiting at most `timeoutMs` for each arrival; false on a
// timeout, an error or the end of the stream.
bool ReceiveAll(int fd, void* data, size_t length, int timeoutMs);
