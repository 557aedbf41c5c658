#include "host/simulated_board.h"

#include <stdio.h>

#include <memory>

#include "host/driver_entry.h"
#include "host/inprocess_transport.h"
#include "host/io_manager.h"
#include "sim/board_catalogue.h"
#include "sim/machine.h"

namespace host {

namespace {

struct SimulatedBoard {
    sim::RealClock clock;
    std::unique_ptr<sim::Machine> machine;
    InProcessTransport transport;
};

}  // namespace

DeviceTransport* HostOnSimulatedBoard(const char* board, std::string* error) {
    // Never destroyed: device calls may come until the process is gone.
    static SimulatedBoard* hosted = nullptr;
    if (hosted != nullptr) {
        return &hosted->transport;
    }
    auto candidate = std::make_unique<SimulatedBoard>();
    candidate->machine = sim::Machine::Create(board, candidate->clock);
    if (!candidate->machine) {
        std::string names;
        for (std::string_view name : sim::BoardNames()) {
            names += names.empty() ? "" : " ";
            names += name;
        }
        *error = std::string("unknown board '") + board + "' in " + kSimulateBoardEnv +
                 "; boards: " + names;
        return nullptr;
    }
    AttachPortBus(candidate->machine.get());
    const int32_t status = LoadDriver(KestatiDriverEntry());
    if (status < 0) {
        AttachPortBus(nullptr);
        char text[80];
        snprintf(text, sizeof text, "the driver did not load on board '%s' (status 0x%08X)", board,
                 static_cast<unsigned>(status));
        *error = text;
        return nullptr;
    }
    hosted = candidate.release();
    return &hosted->transport;
}

}  // namespace host
