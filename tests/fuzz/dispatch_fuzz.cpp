// The driver's whole device-control path: a request of any code, lengths and input bytes goes
// through the I/O manager emulation to the KestATI dispatcher on the simulated board, with board
// and kernel faults switched on by bits of the input. After every request the board must have
// seen no protocol violation and no access outside PCI configuration space and the adapter's I/O
// window, the request must have completed with a status the driver states, and the driver must
// hold none of its locks. The board keeps its state from one request to the next, as a running
// system does; the faults an input switches on are cleared after its request.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "driver/adapter.h"
#include "driver/kestati.h"
#include "sim/port_bus.h"
#include "host/driver_entry.h"
#include "host/io_manager.h"
#include "protocol/ioctl.h"
#include "sim/machine.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr uint32_t kStatusUnsuccessful = 0xC0000001;
constexpr int32_t kStatusAlerted = 0x00000101;

// Reads the input front to back; zeros once it runs out.
class InputBytes {
public:
    InputBytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    uint32_t Word() {
        uint32_t v = Byte();
        v |= static_cast<uint32_t>(Byte()) << 8;
        v |= static_cast<uint32_t>(Byte()) << 16;
        return v | static_cast<uint32_t>(Byte()) << 24;
    }
    std::vector<uint8_t> Rest(size_t length) {
        std::vector<uint8_t> bytes;
        for (size_t i = 0; i < length; ++i) {
            bytes.push_back(Byte());
        }
        return bytes;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// Passes every port access on to the board and remembers the first one that falls outside PCI
// configuration space and the adapter's 256-port window.
class WatchedBus : public PortBus {
public:
    void Watch(sim::Machine* board) {
        m_board = board;
        m_windowBase = board->Board().bar1 & 0xFFFFFFFC;
    }
    std::string TakeStray() { return std::exchange(m_stray, std::string()); }

    uint8_t ReadPort8(uint32_t port) override {
        Check(port, 1, false, 0);
        return m_board->ReadPort8(port);
    }
    uint32_t ReadPort32(uint32_t port) override {
        Check(port, 4, false, 0);
        return m_board->ReadPort32(port);
    }
    void WritePort8(uint32_t port, uint8_t value) override {
        Check(port, 1, true, value);
        m_board->WritePort8(port, value);
    }
    void WritePort32(uint32_t port, uint32_t value) override {
        Check(port, 4, true, value);
        m_board->WritePort32(port, value);
    }

private:
    void Check(uint32_t port, uint32_t bytes, bool write, uint32_t value) {
        const bool config = bytes == 4 && (port == 0xCF8 || port == 0xCFC);
        const uint32_t last = port + bytes - 1;
        const bool window = port >= m_windowBase && last >= port && last < m_windowBase + 0x100;
        if (!config && !window && m_stray.empty()) {
            m_stray =
                sim::Describe(sim::PortAccess{static_cast<uint8_t>(bytes * 8), write, port, value});
        }
    }

    sim::Machine* m_board = nullptr;
    uint32_t m_windowBase = 0;
    std::string m_stray;
};

// The board (one target per I2C engine family) with the driver loaded on it. One driver serves
// the whole run: reloading it for every input would cost more than the requests themselves.
struct Bench {
    sim::SteppedClock clock;
    std::unique_ptr<sim::Machine> board = sim::Machine::Create(KEST_FUZZ_BOARD, clock);
    WatchedBus bus;
    int handle = -1;

    Bench() {
        bus.Watch(board.get());
        host::AttachPortBus(&bus);
        FUZZ_CHECK(host::LoadDriver(host::KestatiDriverEntry()) == kStatusSuccess);
        FUZZ_CHECK(board->Violations().empty());
        int32_t status = 0;
        handle = host::OpenDevice(KEST_USER_PATH, &status);
        FUZZ_CHECK(handle >= 0);
    }
};

Bench& TheBench() {
    static Bench* bench = new Bench();  // lives as long as the fuzzer
    return *bench;
}

bool IsStatedStatus(uint32_t status) {
    return status == kStatusSuccess || status == kStatusInvalidDeviceRequest ||
           status == kStatusBufferTooSmall || status == kStatusInvalidParameter;
}

bool IsDefinedCode(uint32_t code) {
    return code >= kFirstControlCode && code <= kLastControlCode && (code & 3) == 0 &&
           code != IOCTL_NO_OPERATION;
}

uint32_t OutputLength(uint8_t pick, InputBytes& in) {
    static const uint32_t kLengths[] = {0, 3, 4, 5, 27, 28, 29, 55, 56, 57, 64, 4096};
    if (pick < 0xF0) {
        return kLengths[pick % (sizeof kLengths / sizeof kLengths[0])];
    }
    return in.Word() % 4097;
}

void SwitchFaults(sim::Machine& board, InputBytes& in) {
    const uint8_t a = in.Byte();
    const uint8_t b = in.Byte();
    board.SetChipPresent((a & 0x01) == 0);
    board.SetIoBarAllOnes((a & 0x04) != 0);
    board.SetHaltBit((a & 0x08) != 0);
    board.SetNackOnTransaction((a & 0x10) != 0 ? 1 + (b & 0x07) : 0);
    board.SetNackEvery((a & 0x20) != 0 ? 2 + ((b >> 3) & 0x03) : 0);
    board.SetInvalidPostCodes((a & 0x40) != 0);
    board.SetFanStalled((a & 0x80) != 0);
    board.SetBusyPolls(b >> 5);
    // A stuck engine is left to the traffic test and the driver tests: every stuck phase costs
    // the driver its whole 65,535-poll limit, the time of a hundred other inputs.
    const uint8_t c = in.Byte();
    if ((c & 0x01) != 0) {
        host::InjectMutexWaitFailure(static_cast<int32_t>(kStatusUnsuccessful));
    }
    if ((c & 0x02) != 0) {
        // An alerted delay is no failure. (An error status from it ends a read between its two
        // phases, which the board rightly records; the driver tests cover that path.)
        host::InjectDelayFailure(kStatusAlerted);
    }
    if ((c & 0x04) != 0) {
        board.PinSensor(sim::kAllSensors[(c >> 3) % sim::kAllSensors.size()],
                        static_cast<int>(in.Word() % 200000) - 1000);
    }
    board.SetAmbientHeat((c >> 6) * 15);
    // Without the adapter every request walks all 8,192 bus slots: rarer than the rest.
    board.SetAdapterRemoved((in.Byte() & 0x0F) == 0x0F);
}

void ClearFaults(sim::Machine& board) {
    board.SetChipPresent(true);
    board.SetAdapterRemoved(false);
    board.SetIoBarAllOnes(false);
    board.SetHaltBit(false);
    board.SetNackOnTransaction(0);
    board.SetNackEvery(0);
    board.SetInvalidPostCodes(false);
    board.SetFanStalled(false);
    board.SetBusyPolls(1);
    host::InjectMutexWaitFailure(0);
    host::InjectDelayFailure(0);
    for (sim::Sensor sensor : sim::kAllSensors) {
        board.UnpinSensor(sensor);
    }
    board.SetAmbientHeat(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputBytes in(data, size);
    const uint8_t head = in.Byte();
    Bench& bench = TheBench();
    sim::Machine& board = *bench.board;
    bench.clock.Advance(static_cast<uint64_t>(head) * 125);

    const uint8_t codePick = in.Byte();
    const uint32_t code = codePick < 0xE0 ? 0x220490 + codePick : in.Word();
    const uint8_t inPick = in.Byte();
    const uint32_t inLength = inPick < 0xF0 ? inPick % 12 : in.Word() % 4097;
    const uint32_t outLength = OutputLength(in.Byte(), in);
    std::vector<uint8_t> input = in.Rest(inLength);
    SwitchFaults(board, in);

    std::vector<uint8_t> output(outLength, 0xCC);
    uint32_t information = 0xFFFFFFFF;
    const uint32_t status = static_cast<uint32_t>(
        host::DeviceControl(bench.handle, code, input.empty() ? nullptr : input.data(), inLength,
                            output.empty() ? nullptr : output.data(), outLength, &information));
    board.TakeI2cLog();  // the board keeps its log otherwise; nothing here needs it
    ClearFaults(board);

    for (const std::string& violation : board.Violations()) {
        fprintf(stderr, "request 0x%08X: board saw a protocol violation: %s\n", code,
                violation.c_str());
        abort();
    }
    const std::string stray = bench.bus.TakeStray();
    if (!stray.empty()) {
        fprintf(stderr, "request 0x%08X reached a port outside the board's: %s\n", code,
                stray.c_str());
        abort();
    }
    FUZZ_CHECK(IsStatedStatus(status));
    FUZZ_CHECK(information <= outLength);
    FUZZ_CHECK(status == kStatusSuccess || information == 0);
    FUZZ_CHECK(information == 0 || information == 4 || information == sizeof(AdapterInfo) ||
               information == sizeof(MonitorReadings));
    if (!IsDefinedCode(code)) {
        FUZZ_CHECK(status == kStatusSuccess && information == 0);
    }
    FUZZ_CHECK(host::MutexDepth(&g_DeviceMutex) == 0);
    FUZZ_CHECK(host::MutexDepth(&g_AdapterMutex) == 0);
    FUZZ_CHECK(host::OpenHandleCount() == 1);
    return 0;
}
