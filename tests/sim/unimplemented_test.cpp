// What the model leaves out is reported on its own channel: never as a protocol violation, and
// answered the way the model has always answered it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/sim/sim_fixture.h"

namespace simtest {
namespace {

struct GapCase {
    const char* what;
    // Runs the accesses on the machine with its I/O window at `base`; returns what the last read
    // answered (0 for writes).
    std::function<uint32_t(sim::Machine&, uint32_t base)> accesses;
    uint32_t answer;
    const char* report;  // fragment of the unimplemented message
};

void PrintTo(const GapCase& c, std::ostream* os) {
    *os << c.what;
}

class ModelGaps : public ::testing::TestWithParam<GapCase> {};

TEST_P(ModelGaps, AreReportedApartFromViolations) {
    SimFixture f("9600pro");  // indexed family: adapter registers through index/data
    const GapCase& c = GetParam();
    EXPECT_EQ(c.accesses(*f.machine, f.engine.ioBase), c.answer);
    const std::vector<std::string> gaps = f.machine->Unimplemented();
    EXPECT_TRUE(AnyContains(gaps, c.report)) << ::testing::PrintToString(gaps);
    EXPECT_EQ(f.machine->Violations(), std::vector<std::string>{});
    f.machine->ClearUnimplemented();
    EXPECT_EQ(f.machine->Unimplemented(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Machine, ModelGaps,
    ::testing::Values(
        GapCase{"byte read of the configuration data port",
                [](sim::Machine& m, uint32_t) { return uint32_t{m.ReadPort8(0xCFD)}; }, 0xFF,
                "8-bit read of port 0x0cfd"},
        GapCase{"byte write to the configuration data port",
                [](sim::Machine& m, uint32_t) {
                    m.WritePort8(0xCFC, 0x12);
                    return uint32_t{0};
                },
                0, "8-bit write of 0x12 to port 0x0cfc"},
        GapCase{"read of a window offset the model does not drive",
                [](sim::Machine& m, uint32_t base) { return m.ReadPort32(base + 0x40); }, 0,
                "read of window offset 0x40"},
        GapCase{"read of an adapter register the model does not drive",
                [](sim::Machine& m, uint32_t base) {
                    m.WritePort32(base, 0x130);
                    return m.ReadPort32(base + 4);
                },
                0, "read of register 0x130"}));

TEST(ModelGaps, TheDriversSequencesReachNone) {
    // Scan, clocks and a started chip: everything the driver does is modelled.
    for (const char* board : {"9600pro", "9700pro"}) {
        SimFixture f(board);
        int bus = -1;
        int device = -1;
        ASSERT_TRUE(FindFirstDisplay(*f.machine, bus, device));
        f.Start();
        EXPECT_TRUE(f.machine->ChipStarted()) << board;
        EXPECT_EQ(f.machine->Unimplemented(), std::vector<std::string>{}) << board;
        EXPECT_EQ(f.machine->Violations(), std::vector<std::string>{}) << board;
    }
}

}  // namespace
}  // namespace simtest
