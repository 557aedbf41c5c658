// KESTATI_SIMULATE: the transport a program chooses at start, and kestctl on the hosted board.
#include <stdlib.h>

#include <string>

#include <gtest/gtest.h>

#include "app/device/device_transport.h"
#include "host/simulated_board.h"
#include "tools/kestctl/kestctl.h"

namespace {

void SetSimulate(const char* board) {
#ifdef _WIN32
    _putenv_s(kSimulateBoardEnv, board == nullptr ? "" : board);
#else
    if (board == nullptr) {
        unsetenv(kSimulateBoardEnv);
    } else {
        setenv(kSimulateBoardEnv, board, 1);
    }
#endif
}

int g_hostCalls = 0;

DeviceTransport* CountingHost(const char* board, std::string* error) {
    ++g_hostCalls;
    return host::HostOnSimulatedBoard(board, error);
}

// One process hosts one board, so the cases run in this order in one test; unknown names are
// the end-to-end tests' part.
TEST(SimulatedBoardTest, BoardNamedInTheEnvironmentHostsTheDriverInProcess) {
    std::string error;
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        SetSimulate(unset);
        EXPECT_TRUE(SelectDeviceTransport(&CountingHost, &error));
        EXPECT_EQ(g_hostCalls, 0);
        EXPECT_EQ(&CurrentDeviceTransport(), &PlatformDeviceTransport());
    }

    SetSimulate("9800pro");
    ASSERT_TRUE(SelectDeviceTransport(&CountingHost, &error)) << error;
    EXPECT_NE(&CurrentDeviceTransport(), &PlatformDeviceTransport());
    const char* argv[] = {"kestctl", "info"};
    std::string out;
    std::string err;
    EXPECT_EQ(RunKestctl(2, argv, &out, &err), 0) << err;
    EXPECT_NE(out.find("pciId 0x4E481002 device 0x4E48 vendor 0x1002\n"), std::string::npos) << out;
    EXPECT_NE(out.find("subsystemId 0x00021002"), std::string::npos) << out;

    SetDeviceTransport(nullptr);
    SetSimulate(nullptr);
}

}  // namespace
