#include <stdio.h>

#include <string>

#include "app/device/device_transport.h"
#include "host/simulated_board.h"
#include "tools/kestctl/kestctl.h"

namespace {

// Standard output is flushed after every piece, so that a log written through a pipe or into a
// file survives the program being killed.
class StdIo : public KestctlIo {
public:
    void Out(const std::string& text) override {
        fwrite(text.data(), 1, text.size(), stdout);
        fflush(stdout);
    }
    void Err(const std::string& text) override {
        fwrite(text.data(), 1, text.size(), stderr);
        fflush(stderr);
    }
    int Input() const override { return 0; }  // standard input
};

}  // namespace

int main(int argc, char** argv) {
    StdIo io;
    std::string error;
    if (!SelectDeviceTransport(&host::HostOnSimulatedBoard, &error)) {
        io.Err("kestctl: " + error + "\n");
        return 1;
    }
    return RunKestctl(argc, argv, io);
}
