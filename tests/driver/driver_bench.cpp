// One reading request and one adapter-info request through the I/O manager emulation and the
// simulated board: time per request, and port accesses per request.
#include <benchmark/benchmark.h>

#include "host/driver_entry.h"
#include "host/io_manager.h"
#include "protocol/ioctl.h"
#include "sim/machine.h"

namespace {

void RunRequest(benchmark::State& state, uint32_t code, uint32_t outLength) {
    sim::SteppedClock clock;
    auto machine = sim::Machine::Create("9800pro", clock);
    host::AttachPortBus(machine.get());
    if (host::LoadDriver(host::KestatiDriverEntry()) != 0) {
        state.SkipWithError("driver did not load");
        return;
    }
    int32_t status = 0;
    const int handle = host::OpenDevice(KEST_USER_PATH, &status);
    uint8_t out[64];
    uint32_t information = 0;

    machine->SetTraceEnabled(true);
    machine->TakeTrace();
    host::DeviceControl(handle, code, nullptr, 0, out, outLength, &information);
    const double accesses = static_cast<double>(machine->TakeTrace().size());
    machine->SetTraceEnabled(false);

    for (auto _ : state) {
        const int32_t result =
            host::DeviceControl(handle, code, nullptr, 0, out, outLength, &information);
        benchmark::DoNotOptimize(result);
    }
    state.counters["ports_per_request"] = accesses;
    host::CloseDevice(handle);
    host::UnloadDriver();
    host::AttachPortBus(nullptr);
}

void BM_ReadTemp3(benchmark::State& state) {
    RunRequest(state, IOCTL_READ_TEMP3, 56);
}
void BM_GetAdapterInfo(benchmark::State& state) {
    RunRequest(state, IOCTL_GET_ADAPTER_INFO, 28);
}

BENCHMARK(BM_ReadTemp3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetAdapterInfo)->Unit(benchmark::kMicrosecond);

}  // namespace
