// A machine on a stepped clock, the engine helper pointed at its I/O window, and a check after
// every test that the machine saw no protocol violation unless the test took them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sim/machine.h"
#include "tests/sim/bus_sequences.h"

namespace simtest {

class SimFixture {
public:
    explicit SimFixture(const char* board = "9700pro")
        : machine(sim::Machine::Create(board, clock)),
          engine{*machine, machine->Board().bar1 & ~3u, machine->Board().i2cFamily} {}

    // Returns the violations and clears them, so the closing check only sees unexpected ones.
    std::vector<std::string> TakeViolations() {
        std::vector<std::string> v = machine->Violations();
        machine->ClearViolations();
        return v;
    }

    void Start() { StartChip(engine, machine->Board().pciId); }

    sim::SteppedClock clock{1000};
    std::unique_ptr<sim::Machine> machine;
    Engine engine;
};

class SimTest : public ::testing::Test, public SimFixture {
protected:
    explicit SimTest(const char* board = "9700pro") : SimFixture(board) {}
    void TearDown() override { EXPECT_EQ(machine->Violations(), std::vector<std::string>{}); }
};

// Matches when some violation text contains the fragment.
inline bool AnyContains(const std::vector<std::string>& texts, const std::string& fragment) {
    for (const std::string& t : texts) {
        if (t.find(fragment) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace simtest
