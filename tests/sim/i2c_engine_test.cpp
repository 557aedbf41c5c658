#include <gtest/gtest.h>

#include <ostream>

#include <functional>

#include "tests/sim/sim_fixture.h"

namespace simtest {
namespace {

using sim::I2cOutcome;
using sim::I2cTransaction;

// Both engine families: the 9700 PRO reaches its engine through ports, the 9600 PRO through
// adapter registers.
class EngineFamily : public ::testing::TestWithParam<const char*>, public SimFixture {
protected:
    EngineFamily() : SimFixture(GetParam()) {}
    void TearDown() override { EXPECT_EQ(machine->Violations(), std::vector<std::string>{}); }
};

TEST_P(EngineFamily, ReadsTheChipIdWithTheStatedSequence) {
    EXPECT_EQ(ReadChip(engine, 0x58), 0x30);
    const std::vector<I2cTransaction> expected = {
        {true, 0x5E, 0x58, 0x30, I2cOutcome::acknowledged, ""}};
    EXPECT_EQ(machine->TakeI2cLog(), expected);
}

TEST_P(EngineFamily, WritesLandInTheChipAndReadBack) {
    ASSERT_EQ(SelectBank(engine, 0), 0);
    ASSERT_EQ(WriteChip(engine, 0x5B, 0x58), 0);
    EXPECT_EQ(machine->FanDrive(), 0x58);
    EXPECT_EQ(ReadChip(engine, 0x5B), 0x58);
    ASSERT_EQ(SelectBank(engine, 5), 0);
    EXPECT_EQ(machine->Bank(), 5);
    EXPECT_EQ(machine->ChipRegister(0, 0x4E), 0x85);
}

TEST_P(EngineFamily, StatusAnswersBusyForTheConfiguredPolls) {
    machine->SetBusyPolls(4);
    ASSERT_EQ(WriteChip(engine, 0x43, 0x12), 0);
    EXPECT_EQ(engine.lastPolls, 5);
    machine->SetBusyPolls(0);
    ASSERT_GE(ReadChip(engine, 0x43), 0);
    EXPECT_EQ(engine.lastPolls, 1);
}

TEST_P(EngineFamily, AbsentChipIsNotAcknowledgedAndNothingIsWritten) {
    machine->SetChipPresent(false);
    EXPECT_EQ(ReadChip(engine, 0x58), -1);
    EXPECT_EQ(engine.lastStatus, 2u);
    EXPECT_EQ(engine.lastPolls, 2);  // one busy answer, then the failure
    EXPECT_EQ(WriteChip(engine, 0x5B, 0), -1);
    EXPECT_EQ(machine->ChipRegister(0, 0x5B), 0xFF);
    const auto log = machine->TakeI2cLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].outcome, I2cOutcome::noAcknowledge);
    EXPECT_EQ(log[0].detail, "no device at 0x5e");
    machine->SetChipPresent(true);
    EXPECT_EQ(ReadChip(engine, 0x58), 0x30);
}

TEST_P(EngineFamily, InjectedNoAcknowledgeHitsExactlyTheNthTransaction) {
    machine->SetNackOnTransaction(2);
    EXPECT_EQ(ReadChip(engine, 0x58), 0x30);
    EXPECT_EQ(ReadChip(engine, 0x58), -1);
    EXPECT_EQ(ReadChip(engine, 0x58), 0x30);
    machine->SetNackEvery(3);
    std::vector<bool> ok;
    for (int i = 0; i < 6; ++i) {
        ok.push_back(WriteChip(engine, 0x43, 0xFF) == 0);
    }
    EXPECT_EQ(ok, (std::vector<bool>{true, true, false, true, true, false}));
    machine->SetNackEvery(0);
    EXPECT_EQ(WriteChip(engine, 0x43, 0xFF), 0);
}

TEST_P(EngineFamily, StuckEngineRunsOutThePollLimitAndRecovers) {
    machine->SetEngineStuckBusy(true);
    EXPECT_EQ(ReadChip(engine, 0x58), -1);
    EXPECT_EQ(engine.lastPolls, kPollRounds);
    EXPECT_EQ(WriteChip(engine, 0x5B, 0x10), -1);
    EXPECT_EQ(machine->FanDrive(), 255);
    machine->SetEngineStuckBusy(false);
    EXPECT_EQ(ReadChip(engine, 0x58), 0x30);
    const auto log = machine->TakeI2cLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].outcome, I2cOutcome::stuckBusy);
    EXPECT_EQ(log[2].outcome, I2cOutcome::acknowledged);
}

TEST_P(EngineFamily, HaltBitFailsOnTheFirstCompletedPoll) {
    machine->SetHaltBit(true);
    EXPECT_EQ(ReadChip(engine, 0x58), -1);
    EXPECT_EQ(engine.lastStatus, 4u);
    EXPECT_EQ(engine.lastPolls, 2);
    machine->SetHaltBit(false);
    EXPECT_EQ(ReadChip(engine, 0x58), 0x30);
}

TEST_P(EngineFamily, SubSensorsAnswerWhereRegister4ASendsThem) {
    ASSERT_EQ(WriteChip(engine, 0x4A, 0x21), 0);
    machine->PinSensor(sim::Sensor::temp2, 41);
    machine->PinSensor(sim::Sensor::temp3, 63);
    EXPECT_EQ(I2cReadByte(engine, 0x92, 0), 41);
    EXPECT_EQ(I2cReadByte(engine, 0x94, 0), 63);
    EXPECT_EQ(I2cReadByte(engine, 0x90, 0), -1);  // nobody there now
    ASSERT_EQ(I2cWriteByte(engine, 0x94, 2, 70), 0);
    EXPECT_EQ(machine->SubSensorRegister(1, 2), 70);
    EXPECT_EQ(I2cReadByte(engine, 0x94, 4), -1);  // no such register
    ASSERT_EQ(WriteChip(engine, 0x4A, 0x00), 0);
    EXPECT_EQ(I2cReadByte(engine, 0x90, 0), 41);  // both at 0x90: the first one answers
}

TEST_P(EngineFamily, AuxiliaryDeviceLivesWithTheChip) {
    EXPECT_EQ(I2cReadByte(engine, 0x70, 0), 0x41);
    EXPECT_EQ(I2cReadByte(engine, 0x70, 3), 0x55);
    EXPECT_EQ(I2cReadByte(engine, 0x70, 4), -1);
    machine->SetChipPresent(false);
    EXPECT_EQ(I2cReadByte(engine, 0x70, 0), -1);
}

INSTANTIATE_TEST_SUITE_P(Families, EngineFamily, ::testing::Values("9700pro", "9600pro"));

TEST(EngineBoards, NoChipBoardLeavesTheBusSilent) {
    SimFixture f("nochip");
    EXPECT_EQ(ReadChip(f.engine, 0x4E), -1);
    EXPECT_EQ(I2cReadByte(f.engine, 0x70, 0), -1);
    EXPECT_EQ(f.machine->Violations(), std::vector<std::string>{});
}

TEST(EngineBoards, EachFamilyReachesItsEngineOnlyItsOwnWay) {
    // The indexed board has nothing at +0x90; the direct board has no engine behind 0x2E0.
    SimFixture indexed("9600pro");
    Engine wrong{*indexed.machine, indexed.engine.ioBase, sim::I2cFamily::direct};
    EXPECT_EQ(ReadChip(wrong, 0x58), -1);
    EXPECT_TRUE(AnyContains(indexed.TakeViolations(), "nothing decodes"));

    SimFixture direct("9700pro");
    Engine wrong2{*direct.machine, direct.engine.ioBase, sim::I2cFamily::indexed};
    EXPECT_EQ(ReadChip(wrong2, 0x58), -1);
    EXPECT_TRUE(AnyContains(direct.TakeViolations(), "does not drive"));
}

// Malformed transfers on the direct engine: each halts (status 4) and is recorded.
struct MalformedCase {
    const char* what;
    std::function<void(PortBus&, uint32_t)> sequence;
    const char* violation;
};

void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.what;
}

class Malformed : public ::testing::TestWithParam<MalformedCase>, public SimFixture {};

void Prologue(PortBus& p, uint32_t io) {
    p.WritePort32(io + 0x90, 0);
    p.WritePort32(io + 0x94, 0);
    for (int i = 0; i < 16; ++i) {
        p.WritePort32(io + 0x98, 0);
    }
}

TEST_P(Malformed, HaltsAndIsRecorded) {
    const uint32_t io = engine.ioBase;
    GetParam().sequence(*machine, io);
    uint32_t status = 0;
    for (int i = 0; i < 10 && (status & 7) == 0; ++i) {
        status = machine->ReadPort32(io + 0x90);
    }
    EXPECT_EQ(status & 7, 4u);
    EXPECT_TRUE(AnyContains(TakeViolations(), GetParam().violation)) << GetParam().what;
    // A well-formed transaction afterwards works again.
    EXPECT_EQ(ReadChip(engine, 0x58), 0x30);
    EXPECT_EQ(machine->Violations(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    DirectEngine, Malformed,
    ::testing::Values(MalformedCase{"no soft reset: the zeros stay in the FIFO",
                                    [](PortBus& p, uint32_t io) {
                                        Prologue(p, io);
                                        p.WritePort32(io + 0x94, 0x28030012);
                                        p.WritePort32(io + 0x90, 0x14141300);
                                    },
                                    "needs 3 bytes in the FIFO, found 16"},
                      MalformedCase{"register byte missing",
                                    [](PortBus& p, uint32_t io) {
                                        Prologue(p, io);
                                        p.WritePort32(io + 0x90, 0x14140327);
                                        p.WritePort32(io + 0x94, 0x28030012);
                                        p.WritePort8(io + 0x98, 0x5E);
                                        p.WritePort32(io + 0x98, 0x80);
                                        p.WritePort32(io + 0x90, 0x14141300);
                                    },
                                    "needs 3 bytes in the FIFO, found 2"},
                      MalformedCase{"indexed go word on the direct engine",
                                    [](PortBus& p, uint32_t io) {
                                        Prologue(p, io);
                                        p.WritePort32(io + 0x90, 0x14140327);
                                        p.WritePort32(io + 0x94, 0x28030011);
                                        p.WritePort32(io + 0x98, 0x5E);
                                        p.WritePort32(io + 0x98, 0x58);
                                        p.WritePort32(io + 0x90, 0x14141310);
                                    },
                                    "is not a valid start"},
                      MalformedCase{"receive without a register phase",
                                    [](PortBus& p, uint32_t io) {
                                        Prologue(p, io);
                                        p.WritePort32(io + 0x90, 0x27);
                                        p.WritePort32(io + 0x94, 0x28030011);
                                        p.WritePort32(io + 0x98, 0x5F);
                                        p.WritePort32(io + 0x90, 0x14141700);
                                    },
                                    "without a register phase"},
                      MalformedCase{"write mode left in control 1 for a receive",
                                    [](PortBus& p, uint32_t io) {
                                        Prologue(p, io);
                                        p.WritePort32(io + 0x90, 0x27);
                                        p.WritePort32(io + 0x94, 0x28030012);
                                        p.WritePort32(io + 0x98, 0x5F);
                                        p.WritePort32(io + 0x90, 0x14141700);
                                    },
                                    "receive phase with control 1"},
                      MalformedCase{"address phase with control 1 left idle",
                                    [](PortBus& p, uint32_t io) {
                                        Prologue(p, io);
                                        p.WritePort32(io + 0x90, 0x14140327);
                                        p.WritePort8(io + 0x98, 0x5E);
                                        p.WritePort8(io + 0x98, 0x5B);
                                        p.WritePort32(io + 0x98, 0x80);
                                        p.WritePort32(io + 0x90, 0x14141300);
                                    },
                                    "address phase with control 1 = 0x0"},
                      MalformedCase{"receive from another device than the one addressed",
                                    [](PortBus& p, uint32_t io) {
                                        Prologue(p, io);
                                        p.WritePort32(io + 0x90, 0x14140327);
                                        p.WritePort32(io + 0x94, 0x28030011);
                                        p.WritePort32(io + 0x98, 0x5E);
                                        p.WritePort32(io + 0x98, 0x58);
                                        p.WritePort32(io + 0x90, 0x14141300);
                                        for (int i = 0; i < 10; ++i) {
                                            if (p.ReadPort32(io + 0x90) & 7) {
                                                break;
                                            }
                                        }
                                        Prologue(p, io);
                                        p.WritePort32(io + 0x90, 0x27);
                                        p.WritePort32(io + 0x90, 0x10);
                                        p.WritePort32(io + 0x94, 0x28030011);
                                        p.WritePort32(io + 0x98, 0x71);
                                        p.WritePort32(io + 0x90, 0x14141700);
                                    },
                                    "receive from 0x71 after addressing 0x5e"},
                      MalformedCase{"read address in the address phase",
                                    [](PortBus& p, uint32_t io) {
                                        Prologue(p, io);
                                        p.WritePort32(io + 0x90, 0x14140327);
                                        p.WritePort32(io + 0x94, 0x28030011);
                                        p.WritePort32(io + 0x98, 0x5F);
                                        p.WritePort32(io + 0x98, 0x58);
                                        p.WritePort32(io + 0x90, 0x14141300);
                                    },
                                    "sent read address 0x5f"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(EngineProtocol, GoWithoutClearingTheLastStatusHalts) {
    SimFixture f("9700pro");
    const uint32_t io = f.engine.ioBase;
    ASSERT_EQ(WriteChip(f.engine, 0x43, 1), 0);
    // Same write again, but with a set-up word that neither resets nor clears the status.
    Prologue(*f.machine, io);
    f.machine->WritePort32(io + 0x90, 0x14140300);
    f.machine->WritePort32(io + 0x94, 0x28030012);
    EXPECT_EQ(f.machine->ReadPort32(io + 0x90) & 7, 1u);  // the old "done" is still standing
    f.machine->WritePort32(io + 0x90, 0x14141300);
    EXPECT_TRUE(AnyContains(f.TakeViolations(), "without clearing the previous status"));
}

// The engine carries a phase out only once a status read finds it over: a driver that does not
// wait gets neither its write nor its byte, and the cut-short phase is logged, not flagged.
TEST(EngineProtocol, PhaseNotWaitedForNeverReachesTheDevice) {
    SimFixture f("9700pro");
    const uint32_t io = f.engine.ioBase;
    f.machine->SetBusyPolls(1);
    ASSERT_EQ(SelectBank(f.engine, 0), 0);
    f.machine->TakeI2cLog();
    Prologue(*f.machine, io);
    f.machine->WritePort32(io + 0x90, 0x14140327);
    f.machine->WritePort32(io + 0x94, 0x28030012);
    f.machine->WritePort8(io + 0x98, 0x5E);
    f.machine->WritePort8(io + 0x98, 0x5B);
    f.machine->WritePort32(io + 0x98, 0x40);
    f.machine->WritePort32(io + 0x90, 0x14141300);
    EXPECT_EQ(f.machine->ReadPort32(io + 0x90) & 7, 0u);  // still busy
    EXPECT_EQ(f.machine->FanDrive(), 0xFF);
    // The next transaction's first word cuts it short.
    ASSERT_EQ(ReadChip(f.engine, 0x5B), 0xFF);
    const auto log = f.machine->TakeI2cLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].outcome, I2cOutcome::abandoned);
    EXPECT_EQ(log[0].reg, 0x5B);

    // A receive phase's byte is not in data until the phase is seen to finish.
    Prologue(*f.machine, io);
    f.machine->WritePort32(io + 0x90, 0x14140327);
    f.machine->WritePort32(io + 0x94, 0x28030011);
    f.machine->WritePort32(io + 0x98, 0x5E);
    f.machine->WritePort32(io + 0x98, 0x58);
    f.machine->WritePort32(io + 0x90, 0x14141300);
    EXPECT_EQ(f.machine->ReadPort32(io + 0x90) & 7, 0u);
    EXPECT_EQ(f.machine->ReadPort32(io + 0x90) & 7, 1u);
    Prologue(*f.machine, io);
    f.machine->WritePort32(io + 0x90, 0x27);
    f.machine->WritePort32(io + 0x90, 0x10);
    f.machine->WritePort32(io + 0x94, 0x28030011);
    f.machine->WritePort32(io + 0x98, 0x5F);
    f.machine->WritePort32(io + 0x90, 0x14141700);
    EXPECT_EQ(f.machine->ReadPort32(io + 0x98) & 0xFF, 0u);
    EXPECT_EQ(f.machine->ReadPort32(io + 0x90) & 7, 0u);
    EXPECT_EQ(f.machine->ReadPort32(io + 0x90) & 7, 1u);
    EXPECT_EQ(f.machine->ReadPort32(io + 0x98) & 0xFF, 0x30u);
    EXPECT_EQ(f.machine->Violations(), std::vector<std::string>{});
}

TEST(EngineProtocol, UnknownControlWordsAndFifoOverflowAreRecorded) {
    SimFixture f("9700pro");
    const uint32_t io = f.engine.ioBase;
    f.machine->WritePort32(io + 0x94, 0x28030013);
    f.machine->WritePort32(io + 0x90, 0x14140337);  // the indexed set-up on the direct engine
    for (int i = 0; i < 17; ++i) {
        f.machine->WritePort32(io + 0x98, 0);
    }
    const auto v = f.TakeViolations();
    EXPECT_TRUE(AnyContains(v, "control 1 written with 0x28030013"));
    EXPECT_TRUE(AnyContains(v, "selects a bus this engine does not have"));
    EXPECT_TRUE(AnyContains(v, "FIFO overflow"));
}

TEST(EngineProtocol, TraceOfOneDirectWriteIsTheStatedSequence) {
    SimFixture f("9800pro");
    f.machine->SetBusyPolls(1);
    f.machine->SetTraceEnabled(true);
    ASSERT_EQ(WriteChip(f.engine, 0x5B, 0x80), 0);
    const auto trace = f.machine->TakeTrace();
    using sim::In32;
    using sim::Out32;
    using sim::Out8;
    std::vector<sim::PortAccess> expected = {Out32(0xC090, 0), Out32(0xC094, 0)};
    for (int i = 0; i < 16; ++i) {
        expected.push_back(Out32(0xC098, 0));
    }
    const std::vector<sim::PortAccess> tail = {Out32(0xC090, 0x14140327), Out32(0xC094, 0x28030012),
                                               Out8(0xC098, 0x5E),        Out8(0xC098, 0x5B),
                                               Out32(0xC098, 0x80),       Out32(0xC090, 0x14141300),
                                               In32(0xC090, 0x14140300),  In32(0xC090, 0x14140301)};
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(trace, expected);
}

}  // namespace
}  // namespace simtest
