#include "sim/board_catalogue.h"

#include <cstddef>

namespace sim {

namespace {

constexpr uint32_t kVendorAti = 0x1002;
constexpr uint32_t kDisplayClass = 0x03000000;
constexpr uint32_t kReferenceDivider = 11;
constexpr uint32_t kIoWindow = 0xC001;      // I/O BAR at 0xC000
constexpr uint32_t kAperture = 0xD0000008;  // prefetchable memory at 0xD0000000

constexpr uint32_t AtiId(uint32_t device) {
    return device << 16 | kVendorAti;
}

// Feedback divider for a clock with a post factor, rounded to nearest as the clock tools do.
constexpr uint32_t Feedback(int mhz, int factor) {
    return (static_cast<uint32_t>(mhz) * static_cast<uint32_t>(factor) * kReferenceDivider + 27) /
           54;
}

constexpr int kEngineFactors[] = {0, 1, 2, 4, 8};
constexpr int kMemoryFactors[] = {0, 2, 2, 4, 8};

// Power-on divider word: kept top byte, engine and memory feedback dividers, reference divider.
constexpr uint32_t DividerWord(uint32_t top, int engineMhz, int engineCode, int memoryMhz,
                               int memoryCode) {
    return top << 24 | (Feedback(engineMhz, kEngineFactors[engineCode]) & 0xFF) << 16 |
           (Feedback(memoryMhz, kMemoryFactors[memoryCode]) & 0xFF) << 8 | kReferenceDivider;
}

// The other functions of an ordinary desktop: host and AGP bridges, USB, a PCI bridge, the
// LPC bridge, and a network card behind the PCI bridge.
std::vector<PciDeviceSpec> CommonDevices() {
    return {
        {0, 0, 0x25708086, 0x06000002, 0x25708086, 0xE0000008, 0x08000000, 0},
        {0, 1, 0x25718086, 0x06040002, 0x00000000, 0, 0, 1},
        {0, 29, 0x24D28086, 0x0C030002, 0x80891043, 0, 0, 0},
        {0, 30, 0x244E8086, 0x060400C2, 0x00000000, 0, 0, 2},
        {0, 31, 0x24D08086, 0x06010002, 0x80891043, 0, 0, 0},
        {2, 1, 0x100E8086, 0x02000002, 0x00028086, 0xFEA00000, 0x00020000, 0},
    };
}

struct Rails {
    int in1, in2, in5, in6, in7, in8;
};

// Memory I/O (IN1), memory core (IN5) and VPU core (IN7) sit in the middle of each board's safe
// band; IN2, IN6 and IN8 carry rails nothing judges.
constexpr Rails kRails9600 = {2704, 3296, 2656, 1200, 1296, 1504};
constexpr Rails kRailsStandard = {2800, 3296, 2944, 1200, 1504, 1504};
constexpr Rails kRails12 = {2592, 3296, 2544, 1200, 1504, 1504};
constexpr Rails kRails9800 = {2656, 3296, 2896, 1200, 1696, 1504};
constexpr Rails kRails9800B = {2800, 3296, 2704, 1200, 1696, 1504};
constexpr Rails kRails9200 = {2592, 3296, 3152, 1200, 1600, 1504};

struct Model {
    uint32_t device;
    uint32_t apertureMiB;
    uint32_t agpStatus;
    I2cFamily family;
    uint32_t pllTop;
    int engineMhz;
    int engineCode;
    int memoryMhz;
    int memoryCode;
    int fanMaxRpm;
    int fanFullDrive;
    int vpuRise;
    int memoryRise;
};

BoardSpec MakeBoard(const char* name, const char* description, const Model& m, uint32_t subsystem,
                    const Rails& rails) {
    BoardSpec b{};
    b.name = name;
    b.description = description;
    b.hasAdapter = true;
    b.pciId = AtiId(m.device);
    b.subsystemId = subsystem;
    b.classRev = kDisplayClass | 0x00;
    b.apertureSizeMiB = m.apertureMiB;
    b.agpStatus = m.agpStatus;
    b.bar0 = kAperture;
    b.bar1 = kIoWindow;
    b.bus = 1;
    b.device = 0;
    b.i2cFamily = m.family;
    b.pll0A = DividerWord(m.pllTop, m.engineMhz, m.engineCode, m.memoryMhz, m.memoryCode);
    b.pll0D = 0x00001500 | static_cast<uint32_t>(m.engineCode);
    b.pll12 = 0x00002700 | static_cast<uint32_t>(m.memoryCode);
    b.defaultEngineMhz = m.engineMhz;
    b.defaultMemoryMhz = m.memoryMhz;
    b.fanMaxRpm = m.fanMaxRpm;
    b.fanFullDrive = m.fanFullDrive;
    b.in1Mv = rails.in1;
    b.in2Mv = rails.in2;
    b.in5Mv = rails.in5;
    b.in6Mv = rails.in6;
    b.in7Mv = rails.in7;
    b.in8Mv = rails.in8;
    b.vpuRiseC = m.vpuRise;
    b.memoryRiseC = m.memoryRise;
    b.hasMonitorChip = true;
    b.otherDevices = CommonDevices();
    return b;
}

// AGP status words: low nibble 0x0B is AGP 3.0 at 8x, 0x07 AGP 2.0 at 4x.
constexpr Model k9600A = {0x4150, 128, 0x1F00021B, I2cFamily::indexed, 0x04, 400, 2, 275, 2, 5600,
                          160,    22,  15};
constexpr Model k9600 = {0x4150, 128, 0x1F00021B, I2cFamily::indexed, 0x04, 400, 2, 300, 2, 5600,
                         160,    22,  15};
constexpr Model k9500OnId9700 = {
    0x4E44, 128, 0x1F000217, I2cFamily::direct, 0x05, 277, 2, 271, 2, 5200, 200, 22, 15};
constexpr Model k9700 = {0x4E44, 128, 0x1F000217, I2cFamily::direct, 0x05, 325, 2, 311, 2, 5200,
                         200,    22,  15};
constexpr Model k9500 = {0x4E45, 128, 0x1F000217, I2cFamily::direct, 0x05, 277, 2, 271, 1, 5200,
                         200,    22,  15};
constexpr Model k9800 = {0x4E48, 256, 0x1F00021B, I2cFamily::direct, 0x06, 380, 2, 340, 2, 6000,
                         128,    28,  15};
constexpr Model k9200 = {0x5961, 64, 0x1F000217, I2cFamily::indexed, 0x03, 250, 2, 200, 3, 5400,
                         75,     20, 15};

std::vector<BoardSpec> BuildCatalogue() {
    std::vector<BoardSpec> boards;
    boards.push_back(MakeBoard("9600pro-a", "RADEON 9600 PRO, variant A (subsystem 0x0102)", k9600A,
                               0x01021D5A, kRails9600));
    boards.push_back(MakeBoard("9600pro", "RADEON 9600 PRO", k9600, 0x01031D5A, kRails9600));
    boards.push_back(MakeBoard("9500pro-f2", "RADEON 9500 PRO on a 9700 PRO id (subsystem 0x00F2)",
                               k9500OnId9700, 0x00F21D5A, kRailsStandard));
    boards.push_back(MakeBoard("9700pro", "RADEON 9700 PRO", k9700, 0x00021002, kRailsStandard));
    boards.push_back(MakeBoard("9700pro-12", "RADEON 9700 PRO with subsystem 0x0012", k9700,
                               0x00121D5A, kRails12));
    boards.push_back(MakeBoard("9500pro", "RADEON 9500 PRO", k9500, 0x00031D5A, kRailsStandard));
    boards.push_back(MakeBoard("9800pro", "RADEON 9800 PRO", k9800, 0x00021002, kRails9800));
    boards.push_back(MakeBoard("9800pro-b",
                               "RADEON 9800 PRO, variant B (subsystem 0x2002 of 0x1787)", k9800,
                               0x20021787, kRails9800B));
    boards.push_back(MakeBoard("9200", "RADEON 9200", k9200, 0x00041D5A, kRails9200));

    BoardSpec unsupported = MakeBoard("unsupported", "display controller with an unsupported id",
                                      k9700, 0x00021002, kRailsStandard);
    unsupported.pciId = AtiId(0x4E46);
    boards.push_back(unsupported);

    BoardSpec noChip = MakeBoard("nochip", "RADEON 9700 PRO without a monitor chip", k9700,
                                 0x00021002, kRailsStandard);
    noChip.hasMonitorChip = false;
    boards.push_back(noChip);

    // A second display controller on a PCI card behind the bridge: found after the AGP adapter.
    BoardSpec two =
        MakeBoard("twodisplays", "RADEON 9700 PRO in the AGP slot and a PCI display card", k9700,
                  0x00021002, kRailsStandard);
    two.otherDevices.push_back(
        {2, 3, AtiId(0x5159), kDisplayClass, 0x00021002, 0xC8000008, 0x04000000, 0});
    boards.push_back(two);

    // The adapter on bus 0 wins over a second display controller in the AGP slot.
    BoardSpec bus0 = MakeBoard("bus0", "RADEON 9600 PRO on bus 0, another display in the AGP slot",
                               k9600, 0x01031D5A, kRails9600);
    bus0.bus = 0;
    bus0.device = 2;
    bus0.otherDevices.push_back(
        {1, 0, AtiId(0x5159), kDisplayClass, 0x00021002, 0xC8000008, 0x04000000, 0});
    boards.push_back(bus0);

    BoardSpec none =
        MakeBoard("nodisplay", "no display controller at all", k9700, 0, kRailsStandard);
    none.hasAdapter = false;
    none.pciId = 0xFFFFFFFF;
    none.hasMonitorChip = false;
    boards.push_back(none);
    return boards;
}

const std::vector<BoardSpec>& Catalogue() {
    static const std::vector<BoardSpec> boards = BuildCatalogue();
    return boards;
}

}  // namespace

const BoardSpec* FindBoard(std::string_view name) {
    for (const BoardSpec& board : Catalogue()) {
        if (name == board.name) {
            return &board;
        }
    }
    return nullptr;
}

std::vector<std::string_view> BoardNames() {
    std::vector<std::string_view> names;
    for (const BoardSpec& board : Catalogue()) {
        names.emplace_back(board.name);
    }
    return names;
}

int EnginePostFactor(uint32_t postCode) {
    return postCode >= 1 && postCode <= 4 ? kEngineFactors[postCode] : 0;
}

int MemoryPostFactor(uint32_t postCode) {
    return postCode >= 1 && postCode <= 4 ? kMemoryFactors[postCode] : 0;
}

namespace {

double Decode(uint32_t feedback, uint32_t reference, int factor) {
    if (reference == 0 || factor == 0) {
        return 0.0;
    }
    return static_cast<double>(feedback) * 54.0 / (static_cast<double>(reference) * factor);
}

}  // namespace

double DecodeEngineMhz(uint32_t pll0A, uint32_t pll0D) {
    return Decode((pll0A >> 16) & 0xFF, pll0A & 0xFF, EnginePostFactor(pll0D & 7));
}

double DecodeMemoryMhz(uint32_t pll0A, uint32_t pll12) {
    return Decode((pll0A >> 8) & 0xFF, pll0A & 0xFF, MemoryPostFactor(pll12 & 7));
}

}  // namespace sim
