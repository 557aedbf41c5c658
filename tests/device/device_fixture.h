// The driver loaded on a simulated board inside the test process, reached by the device client
// through the in-process transport.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/inprocess_transport.h"
#include "app/device/message_box.h"
#include "host/driver_entry.h"
#include "host/io_manager.h"
#include "sim/machine.h"
#include "tests/support/pll_poke.h"

namespace kesttest {

struct Box {
    void* owner;
    std::string text;
    std::string caption;
    unsigned flags;
};

class RecordingBoxes : public MessageBoxService {
public:
    int Show(void* owner, const char* text, const char* caption, unsigned flags) override {
        boxes.push_back(Box{owner, text, caption, flags});
        return IDOK;
    }
    std::vector<Box> boxes;
};

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override { Load("9800pro"); }

    void Load(const std::string& board) {
        m_machine = sim::Machine::Create(board, m_clock);
        ASSERT_NE(m_machine, nullptr);
        host::AttachPortBus(m_machine.get());
        ASSERT_EQ(host::LoadDriver(host::KestatiDriverEntry()), 0);
        SetDeviceTransport(&m_transport);
        SetMessageBoxService(&m_boxes);
        m_machine->TakeI2cLog();
    }

    void TearDown() override {
        EXPECT_EQ(host::OpenHandleCount(), 0);
        if (host::DriverLoaded()) {
            host::UnloadDriver();
        }
        SetDeviceTransport(nullptr);
        SetMessageBoxService(nullptr);
        EXPECT_TRUE(m_machine->Violations().empty());
    }

    uint32_t IoBase() const { return m_machine->Board().bar1 & ~3u; }

    void WritePll(uint8_t index, uint32_t value) { PokePll(*m_machine, index, value); }

    sim::SteppedClock m_clock;
    std::unique_ptr<sim::Machine> m_machine;
    InProcessTransport m_transport;
    RecordingBoxes m_boxes;
};

}  // namespace kesttest
