// The program's windows on the simulated board: the driver loaded in the test process and
// reached through the in-process transport (every request recorded in order), a private current
// directory for kest.txt, a private service key and scripted message boxes.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/device/device_client.h"
#include "host/inprocess_transport.h"
#include "app/device/process_state.h"
#include "app/framework/framework.h"
#include "app/shell/main_frame.h"
#include "app/shell/monitor_dlg.h"
#include "host/driver_entry.h"
#include "host/io_manager.h"
#include "protocol/ioctl.h"
#include "sim/machine.h"
#include "tests/shell/scratch_dir.h"
#include "tests/support/environment.h"
#include "tests/support/message_box_double.h"
#include "tests/support/test_service_key.h"
#include "tests/support/window_system.h"

namespace kesttest {

struct Request {
    uint32_t code;
    uint32_t value;  // the 4-byte input, when there is one
};

// The in-process transport, writing down every request that reaches the device. It can also
// stand in for what the board cannot produce: a sequence of different VPU temperatures within
// one handler, and an adapter id no supported board has.
class RecordingTransport : public InProcessTransport {
public:
    static constexpr int64_t kFail = -1;

    bool Control(DeviceHandle handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                 uint32_t outLength, uint32_t* status, uint32_t* information) override {
        uint32_t value = 0;
        if (in != nullptr && inLength >= 4) {
            const auto* b = static_cast<const uint8_t*>(in);
            value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
        }
        requests.push_back(Request{code, value});
        const bool answered = InProcessTransport::Control(handle, code, in, inLength, out,
                                                          outLength, status, information);
        if (code == IOCTL_READ_TEMP3 && !temp3Script.empty()) {
            const int64_t next = temp3Script.front();
            temp3Script.pop_front();
            if (next == kFail) {
                *status = kStatusInvalidDeviceRequest;
            } else if (outLength >= sizeof(MonitorReadings)) {
                static_cast<MonitorReadings*>(out)->temp3 = static_cast<uint32_t>(next);
            }
        }
        if (code == IOCTL_GET_ADAPTER_INFO && pciIdOverride != 0 &&
            outLength >= sizeof(AdapterInfo)) {
            static_cast<AdapterInfo*>(out)->pciId = pciIdOverride;
        }
        return answered;
    }
    std::vector<Request> requests;
    std::deque<int64_t> temp3Script;
    uint32_t pciIdOverride = 0;
};

// Catalogue boards by name with the ids the program sees.
struct CatalogueBoard {
    const char* name;
    uint32_t adapter;
    uint32_t subsystem;
};

inline const std::vector<CatalogueBoard>& SupportedBoards() {
    static const std::vector<CatalogueBoard> boards = [] {
        std::vector<CatalogueBoard> list;
        for (const char* name : {"9600pro-a", "9600pro", "9500pro-f2", "9700pro", "9700pro-12",
                                 "9500pro", "9800pro", "9800pro-b", "9200"}) {
            sim::SteppedClock clock;
            auto m = sim::Machine::Create(name, clock);
            list.push_back({name, m->Board().pciId, m->Board().subsystemId});
        }
        return list;
    }();
    return boards;
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnv("KESTATI_SYSTEM_DIR", m_dir.Path().c_str());
        for (std::size_t i = 0; i < std::size(kSystemColours); ++i) {
            m_colours[i] = GetSysColor(kSystemColours[i]);
        }
    }

    void TearDown() override {
        CloseWindows();
        if (host::DriverLoaded()) {
            host::UnloadDriver();
            EXPECT_EQ(host::OpenHandleCount(), 0);
        }
        host::AttachPortBus(nullptr);
        SetDeviceTransport(nullptr);
        if (m_machine) {
            EXPECT_TRUE(m_machine->Violations().empty());
        }
        UnsetEnv("KESTATI_SYSTEM_DIR");
        SetSysColors(static_cast<int>(std::size(kSystemColours)), kSystemColours, m_colours);
        g_bMonitorOn = 0;
    }

    // Loads the driver on `board`; the service key holds the values given (missing ones absent,
    // no key at all when bKey is false).
    void Load(const std::string& board, bool bKey = true) {
        m_machine = sim::Machine::Create(board, m_clock);
        ASSERT_NE(m_machine, nullptr) << board;
        host::AttachPortBus(m_machine.get());
        ASSERT_EQ(host::LoadDriver(host::KestatiDriverEntry()), 0);
        SetDeviceTransport(&m_transport);
        if (bKey) {
            m_key.Create();
        }
    }

    void SetKey(const char* name, uint32_t value) { ASSERT_EQ(m_key.Set(name, value), 0); }

    // The driver gone, as when the service stops: every request fails.
    void StopService() { host::UnloadDriver(); }
    void StartService() { ASSERT_EQ(host::LoadDriver(host::KestatiDriverEntry()), 0); }

    // A frame as the program makes it: constructed, board session started, window created.
    CMainFrame* MakeFrame(bool bTray = true) {
        m_frame = std::make_unique<CMainFrame>(bTray);
        m_frame->StartSession();
        EXPECT_TRUE(m_frame->LoadFrame());
        AfxSetMainWnd(m_frame.get());
        return m_frame.get();
    }

    // Destroys what is open and lets self-deleting windows go.
    void CloseWindows() {
        if (m_frame && m_frame->GetSafeHwnd() != nullptr) {
            m_frame->DestroyWindow();
        }
        m_frame.reset();
        AfxSetMainWnd(nullptr);
        user::Settle();
    }

    // Lets the deferred steps of an exit run (posted messages only, never a timer).
    void RunPostedEvents() { user::Settle(); }

    void ClearRequests() { m_transport.requests.clear(); }
    std::vector<uint32_t> Codes() const {
        std::vector<uint32_t> codes;
        for (const Request& r : m_transport.requests) {
            codes.push_back(r.code);
        }
        return codes;
    }
    // The values sent with `code`, in order.
    std::vector<uint32_t> ValuesOf(uint32_t code) const {
        std::vector<uint32_t> values;
        for (const Request& r : m_transport.requests) {
            if (r.code == code) {
                values.push_back(r.value);
            }
        }
        return values;
    }

    // Where the program looks for the display driver's file: the system's directory on Windows,
    // the one KESTATI_SYSTEM_DIR names (this test's own) elsewhere.
    std::string SystemDirectory() const {
#ifdef _WIN32
        char dir[MAX_PATH] = {};
        ::GetSystemDirectoryA(dir, MAX_PATH);
        return dir;
#else
        return m_dir.Path();
#endif
    }

    std::string KestTxt() const {
        return m_dir.Read("kest.txt");
    }
    static std::string Le(int32_t engine, int32_t memory) {
        std::string s(8, '\0');
        for (int i = 0; i < 4; ++i) {
            s[i] = static_cast<char>(static_cast<uint32_t>(engine) >> (8 * i));
            s[4 + i] = static_cast<char>(static_cast<uint32_t>(memory) >> (8 * i));
        }
        return s;
    }
    uint32_t PllWord() const {
        return m_machine->PllRegister(0x0A);
    }

    ScratchDir m_dir;
    TestServiceKey m_key{m_dir.Path()};
    sim::SteppedClock m_clock;
    std::unique_ptr<sim::Machine> m_machine;
    RecordingTransport m_transport;
    ScriptedMessageBoxes m_boxes;
    std::unique_ptr<CMainFrame> m_frame;

private:
    // The colours a test may change, put back as they were.
    static constexpr int kSystemColours[] = {
        COLOR_WINDOW,    COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT,
        COLOR_BTNSHADOW, COLOR_GRAYTEXT,   COLOR_BTNTEXT,   COLOR_BTNHIGHLIGHT,
        COLOR_INFOTEXT,  COLOR_INFOBK,     COLOR_BTNFACE,
    };
    COLORREF m_colours[std::size(kSystemColours)] = {};
};

}  // namespace kesttest
