// One sample of the hardware details dialog and of the main panel on a simulated RADEON 9800 PRO
// in this process, as the Linux tree's monitor sample benchmark takes them: the median wall time
// of 200 samples, in microseconds. Google Benchmark is not built for Windows here, so this is a
// plain timing program of the Windows tree, not a test.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/framework/framework.h"
#include "app/monitor/hardware_details_dlg.h"
#include "app/monitor/panel_sample.h"
#include "host/driver_entry.h"
#include "host/inprocess_transport.h"
#include "host/io_manager.h"
#include "sim/machine.h"

namespace {

template <typename Sample>
double MedianMicroseconds(Sample sample) {
    std::vector<double> wall;
    for (int i = 0; i < 200; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        sample();
        wall.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(wall.begin(), wall.end());
    return wall[wall.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (!AfxWinInit(argc, argv)) {
        return 1;
    }
    sim::RealClock clock;
    std::unique_ptr<sim::Machine> machine = sim::Machine::Create("9800pro", clock);
    host::AttachPortBus(machine.get());
    host::LoadDriver(host::KestatiDriverEntry());
    InProcessTransport transport;
    SetDeviceTransport(&transport);
    g_nAdapterId = QueryAdapterInfo(3);
    g_nSubsystemId = QueryAdapterInfo(7);

    int nLastRpm = 0;
    int nLastTemp = 0;
    const double panel = MedianMicroseconds([&] {
        const PanelSample s = SamplePanel(ClassifyBoard(), CurrentFanState(), nLastRpm, nLastTemp,
                                          [](uint32_t code) { return QueryDriverReading(code); });
        nLastRpm = s.nLastFanRpm;
        nLastTemp = s.nLastVpuTemp;
    });
    double details = -1;
    {
        CHardwareDetailsDlg dlg;
        if (dlg.Create(CHardwareDetailsDlg::IDD)) {
            details = MedianMicroseconds([&] { dlg.SendMessage(WM_TIMER, 1); });
            dlg.DestroyWindow();
        }
    }
    std::printf("details sample: median %.1f us\npanel sample: median %.1f us\n", details, panel);

    SetDeviceTransport(nullptr);
    host::UnloadDriver();
    host::AttachPortBus(nullptr);
    AfxWinTerm();
    return details < 0 ? 1 : 0;
}
