// The monitoring windows on a simulated board: the driver loaded in the test process and reached
// through the in-process transport, the service key in a private file, scripted message boxes,
// and one log that records every request sent and every box shown, in order.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/device/device_client.h"
#include "host/inprocess_transport.h"
#include "app/device/process_state.h"
#include "app/device/settings.h"
#include "app/framework/framework.h"
#include "host/driver_entry.h"
#include "host/io_manager.h"
#include "protocol/ioctl.h"
#include "sim/machine.h"
#include "tests/shell/scratch_dir.h"
#include "tests/support/environment.h"
#include "tests/support/message_box_double.h"
#include "tests/support/test_service_key.h"

namespace kesttest {

// The in-process transport, recording each request's code. It can also answer one request code
// with a record of all ones, the driver's mark of a failed sensor transaction, which the
// simulated board itself never produces.
class RecordingTransport : public InProcessTransport {
public:
    bool Control(DeviceHandle handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                 uint32_t outLength, uint32_t* status, uint32_t* information) override {
        if (m_log != nullptr) {
            m_log->push_back("req " + CodeName(code));
        }
        const bool ok = InProcessTransport::Control(handle, code, in, inLength, out, outLength,
                                                    status, information);
        if (ok && code == m_nAllOnesCode && out != nullptr && m_nAllOnesCount > 0) {
            --m_nAllOnesCount;
            std::memset(out, 0xFF, outLength);
        }
        return ok;
    }

    static std::string CodeName(uint32_t code) {
        static const std::map<uint32_t, const char*> kNames = {
            {IOCTL_ALARMS_ON, "ALARMS_ON"},
            {IOCTL_ALARMS_OFF, "ALARMS_OFF"},
            {IOCTL_REINIT_MONITOR, "REINIT_MONITOR"},
            {IOCTL_SET_FAN_DRIVE, "SET_FAN_DRIVE"},
            {IOCTL_GET_FAN_DRIVE, "GET_FAN_DRIVE"},
            {IOCTL_SET_FAN1_LIMIT, "SET_FAN1_LIMIT"},
            {IOCTL_SET_TEMP1_LIMIT, "SET_TEMP1_LIMIT"},
            {IOCTL_SET_TEMP2_LIMIT, "SET_TEMP2_LIMIT"},
            {IOCTL_SET_TEMP3_LIMIT, "SET_TEMP3_LIMIT"},
            {IOCTL_READ_FAN1, "READ_FAN1"},
            {IOCTL_READ_TEMP1, "READ_TEMP1"},
            {IOCTL_READ_TEMP2, "READ_TEMP2"},
            {IOCTL_READ_TEMP3, "READ_TEMP3"},
            {IOCTL_READ_IN1, "READ_IN1"},
            {IOCTL_READ_IN5, "READ_IN5"},
            {IOCTL_READ_IN7, "READ_IN7"},
        };
        const auto it = kNames.find(code);
        if (it != kNames.end()) {
            return it->second;
        }
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%X", code);
        return hex;
    }

    std::vector<std::string>* m_log = nullptr;
    uint32_t m_nAllOnesCode = 0;
    int m_nAllOnesCount = 0;
};

// The text of a dialog's control.
inline std::string Text(CWnd& dlg, int id) {
    CString s;
    dlg.GetDlgItemText(id, s);
    return s.GetStdString();
}

// A window's own text: a dialog's caption.
inline std::string Title(CWnd& wnd) {
    CString s;
    wnd.GetWindowText(s);
    return s.GetStdString();
}

// Scripted boxes that also write each box into the log when it opens.
class LoggedBoxes : public ScriptedMessageBoxes {
public:
    int Show(void* owner, const char* text, const char* caption, unsigned flags) override {
        if (m_log != nullptr) {
            m_log->push_back(std::string("box ") + text);
        }
        return ScriptedMessageBoxes::Show(owner, text, caption, flags);
    }
    std::vector<std::string>* m_log = nullptr;
};

class MonitorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_dir.Path().empty());
        m_transport.m_log = &m_log;
        m_boxes.m_log = &m_log;
        SetDeviceTransport(&m_transport);
        SetModalDialogHook([this](CDialog& dlg) { RunScript(dlg); });
        Load("9800pro");
    }

    void TearDown() override {
        SetModalDialogHook({});
        Unload();
        SetDeviceTransport(nullptr);
    }

    // A fresh board, driver and empty service key, and the process-wide state as start-up sets
    // it.
    void Load(const std::string& board) {
        Unload();
        m_machine = sim::Machine::Create(board, m_clock);
        ASSERT_NE(m_machine, nullptr) << board;
        host::AttachPortBus(m_machine.get());
        ASSERT_EQ(host::LoadDriver(host::KestatiDriverEntry()), 0);
        m_key.Create();
        g_nAdapterId = QueryAdapterInfo(3);
        g_nSubsystemId = QueryAdapterInfo(7);
        g_nFanControl = static_cast<int>(ReadFanControlSetting());
        g_nNoFan = static_cast<int>(ReadNoFanSetting());
        g_nFan4Temp = static_cast<int>(ReadFan4TempSetting());
        g_bConfigShown = 0;
        g_bFanGuardTripped = 0;
        g_bFanStopped = 0;
        g_bMonitorOn = 0;
        m_log.clear();
    }

    void Unload() {
        if (host::DriverLoaded()) {
            host::UnloadDriver();
        }
        if (m_machine) {
            EXPECT_TRUE(m_machine->Violations().empty());
            EXPECT_EQ(host::OpenHandleCount(), 0);
        }
    }

    // The service goes away (every request fails) and comes back.
    void StopService() { host::UnloadDriver(); }
    void StartService() { ASSERT_EQ(host::LoadDriver(host::KestatiDriverEntry()), 0); }

    // A stored value, or 0xFFFF when missing.
    uint32_t KeyValue(const char* name) const { return m_key.Value(name); }
    void SetKey(const char* name, uint32_t value) { ASSERT_EQ(m_key.Set(name, value), 0); }

    // What runs inside a modal dialog's loop, by template id. A dialog without a script is
    // cancelled at once.
    void OnModal(UINT nTemplate, std::function<void(CDialog&)> script) {
        m_scripts[nTemplate] = std::move(script);
    }
    void RunScript(CDialog& dlg) {
        const auto it = m_scripts.find(dlg.GetTemplateID());
        if (it == m_scripts.end()) {
            dlg.EndDialog(IDCANCEL);
            return;
        }
        const auto script = it->second;  // the script may replace itself
        script(dlg);
        if (dlg.GetSafeHwnd() != nullptr && dlg.IsModal()) {
            dlg.EndDialog(IDCANCEL);
        }
    }

    // The log without the readings, which samples make many of.
    std::vector<std::string> Actions() const {
        std::vector<std::string> out;
        for (const std::string& line : m_log) {
            if (line.rfind("req READ_", 0) != 0 && line != "req GET_FAN_DRIVE") {
                out.push_back(line);
            }
        }
        return out;
    }

    ScratchDir m_dir;
    TestServiceKey m_key{m_dir.Path()};
    sim::SteppedClock m_clock;
    std::unique_ptr<sim::Machine> m_machine;
    std::vector<std::string> m_log;
    RecordingTransport m_transport;
    LoggedBoxes m_boxes;
    std::map<UINT, std::function<void(CDialog&)>> m_scripts;
};

}  // namespace kesttest
