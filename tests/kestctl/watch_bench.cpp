// How many samples of every reading kestctl gets through the kestatid socket: inside one
// `watch` process, and as one `kestctl read` per process start.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/device/device_transport.h"
#include "protocol/frame.h"
#include "tests/host/kestatid_process.h"
#include "tests/kestctl/kestctl_process.h"
#include "tools/kestctl/readings.h"

namespace {

// Runs the kestctl program to its end; true when it exited 0.
bool RunKestctl(const std::vector<std::string>& args) {
    kesttest::KestctlProcess process(args);
    int status = process.Wait();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A running service for one benchmark.
class Service {
public:
    Service() : m_service(m_dir.Path()) {
        setenv(kDeviceSocketEnv, m_service.Socket().c_str(), 1);
        setenv("KESTATI_SERVICE_KEY", m_service.ServiceKey().c_str(), 1);
        m_running = m_service.StartAndWait();
    }
    ~Service() { m_service.StopWith(SIGTERM); }
    bool Running() const { return m_running; }

private:
    kesttest::TempDir m_dir;
    kesttest::Kestatid m_service;
    bool m_running = false;
};

void BM_WatchSampleInProcess(benchmark::State& state) {
    Service service;
    if (!service.Running()) {
        state.SkipWithError("kestatid did not start");
        return;
    }
    SetDeviceTransport(nullptr);
    const WatchedBoard board = IdentifyBoard();
    std::vector<ItemSample> samples;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SampleBoard(board, &samples));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WatchSampleInProcess)->UseRealTime();

// `kestctl watch --format csv --interval 0 --count 500`: samples per second with the process
// start spread over 500 samples.
void BM_WatchCsvProcess(benchmark::State& state) {
    constexpr int kSamples = 500;
    Service service;
    if (!service.Running()) {
        state.SkipWithError("kestatid did not start");
        return;
    }
    for (auto _ : state) {
        if (!RunKestctl({"watch", "--format", "csv", "--interval", "0", "--count",
                         std::to_string(kSamples)})) {
            state.SkipWithError("kestctl watch failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_WatchCsvProcess)->UseRealTime()->Unit(benchmark::kMillisecond);

// One `kestctl read` per process start: one sample per process.
void BM_ReadProcess(benchmark::State& state) {
    Service service;
    if (!service.Running()) {
        state.SkipWithError("kestatid did not start");
        return;
    }
    for (auto _ : state) {
        if (!RunKestctl({"read"})) {
            state.SkipWithError("kestctl read failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadProcess)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
