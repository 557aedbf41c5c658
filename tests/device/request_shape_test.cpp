// What each client function puts on the wire: one open, exactly one request with its code,
// input bytes and output length, one close; and the requests that settings code sends, in order.
#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/device/settings.h"
#include "protocol/ioctl.h"
#include "tests/device/device_fixture.h"

namespace {

using kesttest::DeviceTest;

// Passes everything to the in-process transport and writes down what went through it.
class RecordingTransport : public DeviceTransport {
public:
    explicit RecordingTransport(DeviceTransport& inner) : m_inner(inner) {}

    DeviceHandle Open(const char** why) override {
        DeviceHandle h = m_inner.Open(why);
        events.push_back(h == kInvalidDeviceHandle ? "open failed" : "open");
        return h;
    }

    bool Control(DeviceHandle handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                 uint32_t outLength, uint32_t* status, uint32_t* information) override {
        char line[64];
        snprintf(line, sizeof line, "%06x in:", code);
        std::string event = line;
        for (uint32_t i = 0; i < inLength; ++i) {
            snprintf(line, sizeof line, "%02x", static_cast<const uint8_t*>(in)[i]);
            event += line;
        }
        snprintf(line, sizeof line, " out:%u", outLength);
        events.push_back(event + line);
        return m_inner.Control(handle, code, in, inLength, out, outLength, status, information);
    }

    void Close(DeviceHandle handle) override {
        events.push_back("close");
        m_inner.Close(handle);
    }

    std::vector<std::string> events;

private:
    DeviceTransport& m_inner;
};

class RequestShapeTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        SetDeviceTransport(&m_recording);
    }
    void TearDown() override {
        SetForegroundWindowSource(nullptr);
        DeviceTest::TearDown();
    }

    std::vector<std::string> Take() {
        std::vector<std::string> events;
        events.swap(m_recording.events);
        return events;
    }

    RecordingTransport m_recording{m_transport};
};

using Events = std::vector<std::string>;

Events OneRequest(const std::string& request) {
    return Events{"open", request, "close"};
}

TEST_F(RequestShapeTest, EachFunctionSendsOneRequestOfItsOwnShape) {
    const uint32_t word = m_machine->PllRegister(0x0A);
    char writeRequest[64];
    snprintf(writeRequest, sizeof writeRequest, "220498 in:%02x%02x%02x%02x out:0", word & 0xFF,
             (word >> 8) & 0xFF, (word >> 16) & 0xFF, word >> 24);
    struct Row {
        const char* what;
        std::function<uint32_t()> call;
        std::string request;
    };
    const Row rows[] = {
        {"reading", [] { return QueryDriverReading(IOCTL_READ_TEMP3); }, "2204c4 in: out:56"},
        {"no-data request", [] { return QueryDriverReading(IOCTL_ALARMS_OFF); },
         "220518 in: out:56"},
        {"value", [] { return SendDriverValue(IOCTL_SET_FAN1_LIMIT, 2800); },
         "2204dc in:f00a0000 out:0"},
        {"read dividers", [] { return ReadClockDividers(); }, "220494 in: out:4"},
        {"write dividers", [word] { return WriteClockDividers(word); }, writeRequest},
        {"adapter info", [] { return QueryAdapterInfo(5); }, "22049c in: out:28"},
        {"unknown selector", [] { return QueryAdapterInfo(0); }, "22049c in: out:28"},
        {"PLL register", [] { return ReadPllRegister(0x12); }, "220544 in:12000000 out:4"},
    };
    for (const Row& row : rows) {
        row.call();
        EXPECT_EQ(Take(), OneRequest(row.request)) << row.what;
    }

    // Without the device nothing is sent.
    host::UnloadDriver();
    for (const Row& row : rows) {
        EXPECT_EQ(row.call(), 0u) << row.what;
        EXPECT_EQ(Take(), Events{"open failed"}) << row.what;
    }
}

TEST_F(RequestShapeTest, AdapterInfoSelectorsPickTheirFields) {
    AdapterInfo raw{};
    int32_t status = 0;
    int h = host::OpenDevice(KEST_USER_PATH, &status);
    uint32_t information = 0;
    ASSERT_EQ(
        host::DeviceControl(h, IOCTL_GET_ADAPTER_INFO, nullptr, 0, &raw, sizeof raw, &information),
        0);
    host::CloseDevice(h);
    const uint32_t fields[] = {raw.apertureBase, raw.apertureSizeMB, raw.pciId,      raw.ioBase,
                               raw.agpRate,      raw.agpVersion,     raw.subsystemId};
    // Rate and version must differ on this board, or swapping them would go unseen.
    ASSERT_NE(raw.agpRate, raw.agpVersion);
    for (uint32_t selector = 1; selector <= 7; ++selector) {
        EXPECT_EQ(QueryAdapterInfo(selector), fields[selector - 1]) << selector;
    }
}

TEST_F(RequestShapeTest, DividerCompositionReadsThePostCodesInOrder) {
    struct Row {
        uint32_t engineCode;
        uint32_t memoryCode;
        Events events;
    };
    const Events engineRead = OneRequest("220544 in:0d000000 out:4");
    Events both = engineRead;
    for (const std::string& e : OneRequest("220544 in:12000000 out:4")) {
        both.push_back(e);
    }
    const Row rows[] = {
        {2, 3, both},
        {0, 3, engineRead},  // the memory code is not read once the engine code is refused
        {6, 0, engineRead},
        {1, 7, both},
    };
    for (const Row& row : rows) {
        WritePll(0x0D, 0x00001500 | row.engineCode);
        WritePll(0x12, 0x00002700 | row.memoryCode);
        Take();
        ComposeClockDividers(0x12345678, 250, 200, 11);
        EXPECT_EQ(Take(), row.events) << row.engineCode << " " << row.memoryCode;
    }
}

TEST_F(RequestShapeTest, AlarmLimitRequestsInOrder) {
    g_nAdapterId = 0x4E481002;
    g_nSubsystemId = 0x00021002;
    g_nNoFan = 0;
    g_bFanStopped = 0;
    ApplyAlarmLimits();
    EXPECT_EQ(Take(),
              (Events{"open", "2204dc in:f00a0000 out:0", "close", "open",
                      "2204e0 in:46000000 out:0", "close", "open", "2204cc in:46000000 out:0",
                      "close", "open", "2204d0 in:55000000 out:0", "close"}));
    g_nAdapterId = 0;
    g_nSubsystemId = 0;
}

void* FrontWindow() {
    static int window;
    return &window;
}

TEST_F(RequestShapeTest, PostCodeBoxesBelongToTheForegroundWindow) {
    WritePll(0x0D, 0x00001500);
    ComposeClockDividers(0x12345678, 250, 200, 11);
    SetForegroundWindowSource(&FrontWindow);
    ComposeClockDividers(0x12345678, 250, 200, 11);
    ASSERT_EQ(m_boxes.boxes.size(), 2u);
    EXPECT_EQ(m_boxes.boxes[0].owner, nullptr) << "no window layer, no owner";
    EXPECT_EQ(m_boxes.boxes[1].owner, FrontWindow());
    EXPECT_EQ(m_boxes.boxes[1].text, "Not correct MCLK_POST!");
}

}  // namespace
