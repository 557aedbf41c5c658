// One reading request (open, request, close) through the kestatid socket, through the
// in-process transport, and a bare Unix-socket exchange of the same sizes for comparison.
#include <benchmark/benchmark.h>
#include <poll.h>

#include <atomic>
#include <thread>

#include "app/device/device_client.h"
#include "protocol/frame.h"
#include "protocol/ioctl.h"
#include "tests/host/bench_devices.h"

namespace {

void BM_ReadingThroughKestatid(benchmark::State& state) {
    kesttest::ServiceDevice device;
    if (!device.Started()) {
        state.SkipWithError("kestatid did not start");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(QueryDriverReading(IOCTL_READ_TEMP3));
    }
}
BENCHMARK(BM_ReadingThroughKestatid)->UseRealTime();

void BM_ReadingInProcess(benchmark::State& state) {
    kesttest::InProcessDevice device;
    for (auto _ : state) {
        benchmark::DoNotOptimize(QueryDriverReading(IOCTL_READ_TEMP3));
    }
}
BENCHMARK(BM_ReadingInProcess)->UseRealTime();

// Accepts, reads a 16-byte request, answers 8 + 56 bytes, closes: the socket work of one
// request without the driver.
void BM_BareUnixSocketExchange(benchmark::State& state) {
    kesttest::TempDir dir;
    std::string path = dir.Path() + "/echo.sock";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    listen(listener, 64);
    std::atomic<bool> stop{false};
    std::thread server([&] {
        while (!stop) {
            pollfd p{listener, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) {
                continue;
            }
            int fd = accept(listener, nullptr, nullptr);
            uint8_t request[kRequestHeaderSize];
            size_t got = 0;
            while (got < sizeof request) {
                ssize_t n = recv(fd, request + got, sizeof request - got, 0);
                if (n <= 0) {
                    break;
                }
                got += static_cast<size_t>(n);
            }
            uint8_t reply[kReplyHeaderSize + 56] = {};
            send(fd, reply, sizeof reply, MSG_NOSIGNAL);
            close(fd);
        }
    });
    for (auto _ : state) {
        int fd = ConnectUnixSocket(path);
        uint8_t request[kRequestHeaderSize];
        EncodeRequestHeader(RequestHeader{kFrameMagic, IOCTL_READ_TEMP3, 0, 56}, request);
        SendAll(fd, request, sizeof request);
        uint8_t reply[kReplyHeaderSize + 56];
        const bool got = ReceiveAll(fd, reply, sizeof reply, 10000);
        close(fd);
        benchmark::DoNotOptimize(got);
    }
    stop = true;
    server.join();
    close(listener);
}
BENCHMARK(BM_BareUnixSocketExchange)->UseRealTime();

}  // namespace
