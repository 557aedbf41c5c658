// One reading request on a simulated RADEON 9800 PRO, with the driver reaching the board directly
// or through hardware mode's port bus over the kernel's files (backed by the same simulator).
// Besides the time, each reports per request: the driver's port accesses, the accesses that
// reached the machine, and the file reads and writes the hardware bus made.
#include <benchmark/benchmark.h>

#include <memory>

#include "host/driver_entry.h"
#include "host/hardware_port_bus.h"
#include "host/io_manager.h"
#include "protocol/ioctl.h"
#include "sim/clock.h"
#include "sim/machine.h"
#include "tests/driver/recording_port_bus.h"
#include "tests/driver/simulated_sysfs.h"

namespace {

int32_t ReadTemp3(int handle) {
    MonitorReadings readings = {};
    uint32_t information = 0;
    return host::DeviceControl(handle, IOCTL_READ_TEMP3, nullptr, 0, &readings, sizeof(readings),
                               &information);
}

void RunReadings(benchmark::State& state, bool throughHardwareBus) {
    sim::SteppedClock clock;
    std::unique_ptr<sim::Machine> machine = sim::Machine::Create("9800pro", clock);
    kest_test::SimulatedSysfs files(*machine);
    host::HardwarePortBus hardware(files, files.AdapterSlot(), files.Window(),
                                   host::WindowPath::resourceFile, [](const std::string&) {});
    PortBus& bus = throughHardwareBus ? static_cast<PortBus&>(hardware) : *machine;
    kest_test::RecordingPortBus recorder(bus);
    host::AttachPortBus(&recorder);
    host::LoadDriver(host::KestatiDriverEntry());
    int32_t status = 0;
    const int handle = host::OpenDevice(KEST_USER_PATH, &status);

    // Counted once over a few requests, outside the timing.
    constexpr int kCounted = 16;
    recorder.Start();
    machine->SetTraceEnabled(true);
    machine->TakeTrace();
    const uint64_t operationsBefore = files.Operations();
    for (int i = 0; i < kCounted; ++i) {
        ReadTemp3(handle);
    }
    state.counters["driver_ports"] = static_cast<double>(recorder.Take().size()) / kCounted;
    state.counters["machine_ports"] = static_cast<double>(machine->TakeTrace().size()) / kCounted;
    state.counters["file_ops"] =
        static_cast<double>(files.Operations() - operationsBefore) / kCounted;
    machine->SetTraceEnabled(false);

    kest_test::RecordingPortBus passThrough(bus);  // never recording: same indirection, no cost
    host::AttachPortBus(&passThrough);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadTemp3(handle));
    }
    host::CloseDevice(handle);
    host::UnloadDriver();
    host::AttachPortBus(nullptr);
}

void BM_ReadingOnTheSimulatedBus(benchmark::State& state) {
    RunReadings(state, false);
}
BENCHMARK(BM_ReadingOnTheSimulatedBus);

void BM_ReadingThroughTheHardwareBus(benchmark::State& state) {
    RunReadings(state, true);
}
BENCHMARK(BM_ReadingThroughTheHardwareBus);

}  // namespace
