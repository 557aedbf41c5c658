// The real kestatid, reached through its real sockets by the device client, raw frames and
// kestctl.
#include <dirent.h>
#include <poll.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "app/device/device_client.h"
#include "protocol/frame.h"
#include "protocol/ioctl.h"
#include "sim/board_catalogue.h"
#include "tests/host/e2e_support.h"

namespace {

using kesttest::ConnectRaw;
using kesttest::Ctl;
using kesttest::Frame;
using kesttest::Le32;
using kesttest::OpenDescriptorCount;
using kesttest::Raw;
using kesttest::RawReply;
using kesttest::ReadUntilClosed;
using kesttest::SimState;

uint32_t BankRegister(uint32_t bank, uint32_t reg) {
    RawReply r = Raw(IOCTL_READ_BANK0_REG + 4 * bank, Le32(reg), 56);
    return r.status == kStatusSuccess && r.information == 56 ? r.Word(2) : 0xDEADBEEF;
}

class KestatidTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_service = std::make_unique<kesttest::Kestatid>(m_dir.Path());
        setenv(kDeviceSocketEnv, m_service->Socket().c_str(), 1);
        setenv("KESTATI_SERVICE_KEY", m_service->ServiceKey().c_str(), 1);
        ASSERT_TRUE(m_service->StartAndWait()) << m_service->Log();
    }

    void TearDown() override {
        int status = m_service->StopWith(SIGTERM);
        if (status != -1) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << m_service->Log();
        }
    }

    const sim::BoardSpec& Board() const { return *sim::FindBoard("9800pro"); }

    kesttest::TempDir m_dir;
    std::unique_ptr<kesttest::Kestatid> m_service;
};

struct StatusRow {
    const char* what;
    uint32_t code;
    uint32_t inLength;
    uint32_t outLength;
    uint32_t status;
    uint32_t information;
};

TEST_F(KestatidTest, EveryRequestCompletesWithItsStatusAndLength) {
    const uint32_t S = kStatusSuccess;
    const uint32_t Small = kStatusBufferTooSmall;
    const StatusRow rows[] = {
        {"get dividers", IOCTL_GET_CLOCK_DIVIDERS, 0, 4, S, 4},
        {"get dividers, 3-byte output", IOCTL_GET_CLOCK_DIVIDERS, 0, 3, Small, 0},
        {"set dividers, 3-byte input", IOCTL_SET_CLOCK_DIVIDERS, 3, 0, Small, 0},
        {"adapter info", IOCTL_GET_ADAPTER_INFO, 0, 28, S, 28},
        {"adapter info, 27-byte output", IOCTL_GET_ADAPTER_INFO, 0, 27, Small, 0},
        {"fan 1", IOCTL_READ_FAN1, 0, 56, S, 56},
        {"in1", IOCTL_READ_IN1, 0, 56, S, 56},
        {"in7", IOCTL_READ_IN7, 0, 56, S, 56},
        {"in5", IOCTL_READ_IN5, 0, 56, S, 56},
        {"in6", IOCTL_READ_IN6, 0, 56, S, 56},
        {"in8", IOCTL_READ_IN8, 0, 56, S, 56},
        {"in2", IOCTL_READ_IN2, 0, 56, S, 56},
        {"temp1", IOCTL_READ_TEMP1, 0, 56, S, 56},
        {"temp2", IOCTL_READ_TEMP2, 0, 56, S, 56},
        {"temp3", IOCTL_READ_TEMP3, 0, 56, S, 56},
        {"chip id", IOCTL_READ_CHIP_ID, 0, 56, S, 56},
        {"fan drive", IOCTL_GET_FAN_DRIVE, 0, 56, S, 56},
        {"temp3, 55-byte output", IOCTL_READ_TEMP3, 0, 55, Small, 0},
        {"fan drive, 55-byte output", IOCTL_GET_FAN_DRIVE, 0, 55, Small, 0},
        {"set fan drive, 3-byte input", IOCTL_SET_FAN_DRIVE, 3, 0, Small, 0},
        {"temp2 limit, no input", IOCTL_SET_TEMP2_LIMIT, 0, 0, Small, 0},
        {"in6 limit B, no input", IOCTL_SET_IN6_LIMIT_B, 0, 0, Small, 0},
        {"no operation", IOCTL_NO_OPERATION, 0, 56, S, 0},
        {"between two codes", 0x220496, 0, 56, S, 0},
        {"below the table", 0x220490, 4, 56, S, 0},
        {"above the table", 0x22054C, 4, 56, S, 0},
        {"another device type", 0x00090000, 0, 4, S, 0},
        {"alarms off", IOCTL_ALARMS_OFF, 0, 56, S, 0},
        {"alarms on", IOCTL_ALARMS_ON, 0, 56, S, 0},
        {"re-initialise", IOCTL_REINIT_MONITOR, 0, 56, S, 0},
        {"bank 6 register", IOCTL_READ_BANK6_REG, 4, 56, S, 56},
        {"bank 0 register, no input", IOCTL_READ_BANK0_REG, 0, 56, Small, 0},
        {"bank 3 register, 55-byte output", IOCTL_READ_BANK3_REG, 4, 55, Small, 0},
        {"I/O register", IOCTL_READ_IO_REG, 4, 4, S, 4},
        {"I/O register, no input", IOCTL_READ_IO_REG, 0, 4, Small, 0},
        {"I/O register, 3-byte output", IOCTL_READ_IO_REG, 4, 3, Small, 0},
        {"PLL register", IOCTL_READ_PLL_REG, 4, 4, S, 4},
        {"PLL register, 3-byte output", IOCTL_READ_PLL_REG, 4, 3, Small, 0},
        {"auxiliary register", IOCTL_READ_AUX_I2C_REG, 4, 4, S, 4},
    };
    for (const StatusRow& row : rows) {
        RawReply r = Raw(row.code, std::vector<uint8_t>(row.inLength, 0), row.outLength);
        ASSERT_TRUE(r.answered) << row.what;
        EXPECT_EQ(r.status, row.status) << row.what;
        EXPECT_EQ(r.information, row.information) << row.what;
        EXPECT_EQ(r.bytes.size(), row.information) << row.what;
    }
}

TEST_F(KestatidTest, OutputsCarryTheBoardsValues) {
    RawReply info = Raw(IOCTL_GET_ADAPTER_INFO, {}, 28);
    EXPECT_EQ(info.Word(0), Board().bar0 & ~0xFu);
    EXPECT_EQ(info.Word(1), Board().apertureSizeMiB);
    EXPECT_EQ(info.Word(2), 0x4E481002u);
    EXPECT_EQ(info.Word(3), Board().bar1 & ~3u);
    EXPECT_EQ(info.Word(6), Board().subsystemId);

    // The same fields through the device client.
    EXPECT_EQ(QueryAdapterInfo(3), 0x4E481002u);
    EXPECT_EQ(QueryAdapterInfo(7), Board().subsystemId);
    EXPECT_EQ(QueryAdapterInfo(4), Board().bar1 & ~3u);
    EXPECT_EQ(QueryAdapterInfo(8), 0u);

    uint32_t dividers = ReadClockDividers();
    EXPECT_EQ(dividers, Raw(IOCTL_GET_CLOCK_DIVIDERS, {}, 4).Word(0));
    EXPECT_EQ(ReadPllRegister(0x0A), dividers);
    EXPECT_EQ(ReadPllRegister(0x0E), 0x0400BC00u);  // written once by the driver at load

    EXPECT_EQ(QueryDriverReading(IOCTL_READ_CHIP_ID), 0x30u);
    EXPECT_EQ(BankRegister(6, 0x50), 0xD0u);  // set up by the chip start-up
}

TEST_F(KestatidTest, PinnedSensorsReadBackThroughEveryReadingRequest) {
    struct Pin {
        const char* sensor;
        const char* value;
        uint32_t code;
        uint32_t expected;
    };
    const Pin pins[] = {
        {"fan1", "2647", IOCTL_READ_FAN1, 2647}, {"in1", "1504", IOCTL_READ_IN1, 1504},
        {"in2", "3296", IOCTL_READ_IN2, 3296},   {"in5", "1808", IOCTL_READ_IN5, 1808},
        {"in6", "2496", IOCTL_READ_IN6, 2496},   {"in7", "1200", IOCTL_READ_IN7, 1200},
        {"in8", "1600", IOCTL_READ_IN8, 1600},   {"temp1", "41", IOCTL_READ_TEMP1, 41},
        {"temp2", "52", IOCTL_READ_TEMP2, 52},   {"temp3", "63", IOCTL_READ_TEMP3, 63},
    };
    for (const Pin& p : pins) {
        ASSERT_EQ(Ctl({"sim", "pin", p.sensor, p.value}).code, 0) << p.sensor;
    }
    for (const Pin& p : pins) {
        EXPECT_EQ(QueryDriverReading(p.code), p.expected) << p.sensor;
        EXPECT_EQ(SimState(p.sensor), p.value) << p.sensor;
    }
    ASSERT_EQ(Ctl({"sim", "unpin", "temp3"}).code, 0);
    EXPECT_NE(SimState("temp3"), "<missing>");
}

TEST_F(KestatidTest, SettingsReachTheChipRegisters) {
    struct Limit {
        const char* what;
        uint32_t code;
        uint32_t value;
        uint32_t bank;
        uint32_t reg;
        uint32_t expected;
    };
    const Limit limits[] = {
        {"fan 1 limit", IOCTL_SET_FAN1_LIMIT, 2800, 0, 0x3B, 241},
        {"temp1 limit", IOCTL_SET_TEMP1_LIMIT, 70, 0, 0x39, 70},
        {"in1 limit A", IOCTL_SET_IN1_LIMIT_A, 1600, 0, 0x2D, 100},
        {"in6 limit B", IOCTL_SET_IN6_LIMIT_B, 1200, 0, 0x38, 75},
        {"in7 limit A", IOCTL_SET_IN7_LIMIT_A, 1760, 5, 0x54, 110},
        {"in8 limit B", IOCTL_SET_IN8_LIMIT_B, 800, 5, 0x57, 50},
    };
    for (const Limit& l : limits) {
        EXPECT_EQ(SendDriverValue(l.code, l.value), 1u) << l.what;
        EXPECT_EQ(BankRegister(l.bank, l.reg), l.expected) << l.what;
    }
    // 8 input bytes: the first word counts.
    std::vector<uint8_t> twoWords = Le32(100);
    std::vector<uint8_t> second = Le32(7);
    twoWords.insert(twoWords.end(), second.begin(), second.end());
    EXPECT_EQ(Raw(IOCTL_SET_FAN_DRIVE, twoWords, 0).status, kStatusSuccess);
    EXPECT_EQ(QueryDriverReading(IOCTL_GET_FAN_DRIVE), 100u);
    EXPECT_EQ(SimState("fan_drive"), "100");

    EXPECT_EQ(QueryDriverReading(IOCTL_ALARMS_ON), 0u);
    EXPECT_EQ(BankRegister(0, 0x57) & 0x80, 0x80u);
    EXPECT_EQ(QueryDriverReading(IOCTL_ALARMS_OFF), 0u);
    EXPECT_EQ(BankRegister(0, 0x57) & 0x80, 0u);

    uint32_t word = ReadClockDividers();
    EXPECT_EQ(WriteClockDividers(word), 1u);
    EXPECT_EQ(ReadClockDividers(), word);
}

TEST_F(KestatidTest, ChipAbsentFailsChipRequestsOnly) {
    ASSERT_EQ(Ctl({"sim", "chip", "absent"}).code, 0);
    for (uint32_t code :
         {IOCTL_READ_FAN1, IOCTL_READ_TEMP3, IOCTL_READ_CHIP_ID, IOCTL_GET_FAN_DRIVE}) {
        RawReply r = Raw(code, {}, 56);
        EXPECT_EQ(r.status, kStatusInvalidDeviceRequest) << std::hex << code;
        EXPECT_EQ(r.information, 0u);
    }
    for (uint32_t code : {IOCTL_SET_FAN_DRIVE, IOCTL_SET_TEMP2_LIMIT, IOCTL_SET_FAN1_LIMIT}) {
        EXPECT_EQ(Raw(code, Le32(100), 0).status, kStatusInvalidDeviceRequest) << code;
    }
    EXPECT_EQ(Raw(IOCTL_ALARMS_ON, {}, 0).status, kStatusInvalidDeviceRequest);
    RawReply aux = Raw(IOCTL_READ_AUX_I2C_REG, Le32(0), 4);
    EXPECT_EQ(aux.status, kStatusSuccess);
    EXPECT_EQ(aux.Word(0), 0xFFFFFFFFu);
    EXPECT_EQ(Raw(IOCTL_REINIT_MONITOR, {}, 0).status, kStatusSuccess);
    EXPECT_EQ(Raw(IOCTL_GET_ADAPTER_INFO, {}, 28).status, kStatusSuccess);
    EXPECT_EQ(QueryDriverReading(IOCTL_READ_CHIP_ID), 0u);
    EXPECT_EQ(SendDriverValue(IOCTL_SET_FAN_DRIVE, 255), 0u);

    kesttest::CtlResult read = Ctl({"read"});
    EXPECT_EQ(read.code, 0);
    EXPECT_NE(read.out.find("temp3 0\n"), std::string::npos) << read.out;

    ASSERT_EQ(Ctl({"sim", "chip", "present"}).code, 0);
    EXPECT_EQ(QueryDriverReading(IOCTL_READ_CHIP_ID), 0x30u);
}

TEST_F(KestatidTest, RemovedAdapterAndMissingWindow) {
    ASSERT_EQ(Ctl({"sim", "adapter", "remove"}).code, 0);
    RawReply fan = Raw(IOCTL_READ_FAN1, {}, 56);
    EXPECT_EQ(fan.status, kStatusSuccess);
    EXPECT_EQ(fan.information, 0u);
    EXPECT_EQ(Raw(IOCTL_SET_FAN_DRIVE, Le32(0), 0).status, kStatusSuccess);
    RawReply info = Raw(IOCTL_GET_ADAPTER_INFO, {}, 28);
    EXPECT_EQ(info.information, 28u);
    EXPECT_EQ(info.Word(2), 0xFFFFFFFFu);
    // Nothing filled: the client reads 0, not stale stack bytes.
    EXPECT_EQ(ReadClockDividers(), 0u);
    EXPECT_EQ(QueryDriverReading(IOCTL_READ_TEMP3), 0u);
    ASSERT_EQ(Ctl({"sim", "adapter", "insert"}).code, 0);
    EXPECT_EQ(SimState("fan_drive"), "255");  // the request on the removed adapter did nothing

    ASSERT_EQ(Ctl({"sim", "iobar", "missing"}).code, 0);
    EXPECT_EQ(Raw(IOCTL_READ_FAN1, {}, 56).status, kStatusInvalidDeviceRequest);
    EXPECT_EQ(Raw(IOCTL_GET_CLOCK_DIVIDERS, {}, 4).status, kStatusInvalidDeviceRequest);
    ASSERT_EQ(Ctl({"sim", "iobar", "present"}).code, 0);
}

TEST_F(KestatidTest, StoppedServiceFailsEveryCallAndRestartServesAgain) {
    int status = m_service->StopWith(SIGTERM);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    struct stat st;
    EXPECT_NE(lstat(m_service->Socket().c_str(), &st), 0) << "socket removed";
    EXPECT_NE(lstat((m_service->Socket() + ".sim").c_str(), &st), 0);
    EXPECT_NE(m_service->Log().find("driver unloaded"), std::string::npos);

    int before = OpenDescriptorCount();
    EXPECT_EQ(QueryDriverReading(IOCTL_READ_TEMP3), 0u);
    EXPECT_EQ(QueryDriverReading(IOCTL_ALARMS_OFF), 0u);
    EXPECT_EQ(SendDriverValue(IOCTL_SET_FAN_DRIVE, 255), 0u);
    EXPECT_EQ(ReadClockDividers(), 0u);
    EXPECT_EQ(WriteClockDividers(0x12345678), 0u);
    EXPECT_EQ(QueryAdapterInfo(3), 0u);
    EXPECT_EQ(ReadPllRegister(0x0A), 0u);
    EXPECT_EQ(OpenDescriptorCount(), before);

    kesttest::CtlResult info = Ctl({"info"});
    EXPECT_EQ(info.code, 1);
    EXPECT_NE(info.err.find("cannot open \\\\.\\kestati"), std::string::npos) << info.err;
    EXPECT_EQ(Ctl({"raw", "0x2204C4", "--out", "56"}).code, 1);
    EXPECT_EQ(Ctl({"sim", "state"}).code, 1);

    ASSERT_TRUE(m_service->StartAndWait()) << m_service->Log();
    EXPECT_EQ(QueryAdapterInfo(3), 0x4E481002u);
}

TEST_F(KestatidTest, SeveralClientsAtOnce) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 40;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&wrong, t] {
            for (int i = 0; i < kRounds; ++i) {
                // Requests that use bank 0 only, so that they cannot disturb one another's bank.
                uint32_t got =
                    (t % 2 == 0) ? QueryDriverReading(IOCTL_READ_CHIP_ID) : QueryAdapterInfo(3);
                uint32_t want = (t % 2 == 0) ? 0x30u : 0x4E481002u;
                if (got != want) {
                    ++wrong;
                    fprintf(stderr, "thread %d got 0x%08X\n", t, got);
                }
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(KestatidTest, MalformedFramesNeverReachTheDriver) {
    struct Bad {
        const char* what;
        std::vector<uint8_t> bytes;
        bool halfClose;
        bool expectReply;  // an INVALID_PARAMETER reply
    };
    const Bad bad[] = {
        {"wrong magic", Frame(0x4B455354, IOCTL_SET_FAN_DRIVE, 4, 0, Le32(7)), false, false},
        {"input too long", Frame(kFrameMagic, IOCTL_SET_FAN_DRIVE, 4097, 0, Le32(7)), false, true},
        {"output too long", Frame(kFrameMagic, IOCTL_SET_FAN_DRIVE, 4, 0x10000, Le32(7)), false,
         true},
        {"header cut short", {0x4B, 0x45, 0x53, 0x54, 0xD4, 0x04}, true, false},
        {"input cut short", Frame(kFrameMagic, IOCTL_SET_FAN_DRIVE, 4, 0, {7, 0}), true, false},
    };
    for (const Bad& b : bad) {
        int fd = ConnectRaw(m_service->Socket());
        ASSERT_GE(fd, 0);
        ASSERT_EQ(send(fd, b.bytes.data(), b.bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(b.bytes.size()));
        if (b.halfClose) {
            shutdown(fd, SHUT_WR);
        }
        std::vector<uint8_t> reply = ReadUntilClosed(fd);
        close(fd);
        if (b.expectReply) {
            ASSERT_EQ(reply.size(), kReplyHeaderSize) << b.what;
            ReplyHeader h = DecodeReplyHeader(reply.data());
            EXPECT_EQ(h.status, kStatusInvalidParameter) << b.what;
            EXPECT_EQ(h.information, 0u) << b.what;
        } else {
            EXPECT_TRUE(reply.empty()) << b.what;
        }
        // The fan drive would read 7 had the request reached the driver; other clients go on.
        EXPECT_EQ(QueryDriverReading(IOCTL_GET_FAN_DRIVE), 255u) << b.what;
    }
    EXPECT_NE(m_service->Log().find("wrong magic"), std::string::npos);
}

TEST_F(KestatidTest, SilentClientIsDroppedWithoutBlockingOthers) {
    int silent = ConnectRaw(m_service->Socket());
    ASSERT_GE(silent, 0);
    std::vector<uint8_t> partial = Frame(kFrameMagic, IOCTL_SET_FAN_DRIVE, 4, 0, {9, 0});
    ASSERT_EQ(send(silent, partial.data(), partial.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(partial.size()));
    long long start = kesttest::MonotonicMs();

    // Other clients are served while the silent one is still connected.
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(QueryDriverReading(IOCTL_READ_CHIP_ID), 0x30u);
    }
    pollfd p{silent, POLLIN, 0};
    bool stillOpen = poll(&p, 1, 0) == 0;
    long long servedAfter = kesttest::MonotonicMs() - start;
    if (servedAfter < kFrameClientTimeoutMs - 200) {
        EXPECT_TRUE(stillOpen) << "dropped before its time";
    }

    std::vector<uint8_t> reply = ReadUntilClosed(silent);
    long long elapsed = kesttest::MonotonicMs() - start;
    close(silent);
    EXPECT_TRUE(reply.empty());
    EXPECT_GE(elapsed, kFrameClientTimeoutMs - 50);
    EXPECT_EQ(QueryDriverReading(IOCTL_GET_FAN_DRIVE), 255u);
    EXPECT_TRUE(m_service->WaitForLog("no complete request"));
}

TEST_F(KestatidTest, SocketIsGroupOnlyAndALiveOneIsNotTakenOver) {
    struct stat st;
    ASSERT_EQ(stat(m_service->Socket().c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0660u);

    kesttest::Kestatid second(m_dir.Path());
    ASSERT_TRUE(second.Start());
    int status = second.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(second.Log().find("in use by a running service"), std::string::npos) << second.Log();
    EXPECT_EQ(QueryAdapterInfo(3), 0x4E481002u);
}

TEST_F(KestatidTest, ResumeRestartsTheChip) {
    EXPECT_EQ(QueryDriverReading(IOCTL_ALARMS_ON), 0u);
    ASSERT_EQ(BankRegister(0, 0x57) & 0x80, 0x80u);
    m_service->Signal(SIGUSR1);
    ASSERT_TRUE(m_service->WaitForLog("resume: set-power request completed with 0xC0000056"))
        << m_service->Log();
    // The start-up sequence clears the beep enables again.
    EXPECT_EQ(BankRegister(0, 0x57), 0u);
    EXPECT_EQ(BankRegister(6, 0x50), 0xD0u);
}

TEST_F(KestatidTest, InterruptStopsCleanly) {
    int status = m_service->StopWith(SIGINT);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    struct stat st;
    EXPECT_NE(lstat(m_service->Socket().c_str(), &st), 0);
}

TEST_F(KestatidTest, ServiceKeyIsCreatedWhenMissing) {
    std::ifstream in(m_service->ServiceKey());
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\KestATI]\n");
    struct stat st;
    ASSERT_EQ(stat(m_service->ServiceKey().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0664u);
}

TEST_F(KestatidTest, KestctlAgainstTheService) {
    kesttest::CtlResult info = Ctl({"info"});
    EXPECT_EQ(info.code, 0);
    EXPECT_NE(info.out.find("pciId 0x4E481002 device 0x4E48 vendor 0x1002\n"), std::string::npos)
        << info.out;

    ASSERT_EQ(Ctl({"sim", "pin", "temp3", "66"}).code, 0);
    kesttest::CtlResult raw = Ctl({"raw", "0x2204C4", "--out", "56"});
    EXPECT_EQ(raw.code, 0);
    std::string temp3Bytes = "42000000";  // field 11 (temp3) = 66
    EXPECT_EQ(raw.out.substr(0, 14), "0x00000000 56 ");
    EXPECT_EQ(raw.out.substr(14 + 11 * 8, 8), temp3Bytes) << raw.out;

    kesttest::CtlResult small = Ctl({"raw", "2229404", "--out", "27"});
    EXPECT_EQ(small.out, "0xC0000023 0\n");
    EXPECT_EQ(small.code, 0);

    kesttest::CtlResult set = Ctl({"raw", "0x2204D4", "--in", "0x50"});
    EXPECT_EQ(set.out, "0x00000000 0\n");
    EXPECT_EQ(SimState("fan_drive"), "80");

    kesttest::CtlResult state = Ctl({"sim", "state"});
    EXPECT_EQ(state.code, 0);
    for (const char* key : {"engine_mhz=", "memory_mhz=", "fan_drive=", "fan_rpm=", "bank=0x",
                            "pll_index=0x", "beeper=off", "fan1=", "in1=", "in2=", "in5=", "in6=",
                            "in7=", "in8=", "temp1=", "temp2=", "temp3=66"}) {
        EXPECT_NE(state.out.find(key), std::string::npos) << key << "\n" << state.out;
    }

    kesttest::CtlResult bad = Ctl({"sim", "pin", "temp9", "3"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("unknown sensor 'temp9'"), std::string::npos) << bad.err;
    EXPECT_EQ(Ctl({"sim", "fan", "sideways"}).code, 2);
}

// Services that fail to start, or start over a crashed one.
TEST(KestatidStart, UnsupportedBoardDoesNotLoad) {
    kesttest::TempDir dir;
    kesttest::Kestatid service(dir.Path());
    ASSERT_TRUE(service.Start({"--board", "unsupported"}));
    int status = service.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(service.Log().find("no supported adapter found (status 0xC0000010)"),
              std::string::npos)
        << service.Log();
    struct stat st;
    EXPECT_NE(lstat(service.Socket().c_str(), &st), 0);
}

TEST(KestatidStart, UnknownBoardAndBadArguments) {
    kesttest::TempDir dir;
    kesttest::Kestatid service(dir.Path());
    ASSERT_TRUE(service.Start({"--board", "radeon9999"}));
    int status = service.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    EXPECT_NE(service.Log().find("unknown board 'radeon9999'"), std::string::npos);

    kesttest::Kestatid other(dir.Path());
    ASSERT_TRUE(other.Start({"--frobnicate"}));
    status = other.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

TEST(KestatidStart, StaleSocketIsReplaced) {
    kesttest::TempDir dir;
    kesttest::Kestatid service(dir.Path());
    // A socket file nobody listens on, as a crash leaves it.
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    strncpy(address.sun_path, service.Socket().c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(fd);
    ASSERT_FALSE(kesttest::Connects(service.Socket()));

    setenv(kDeviceSocketEnv, service.Socket().c_str(), 1);
    ASSERT_TRUE(service.StartAndWait()) << service.Log();
    EXPECT_NE(service.Log().find("replacing stale socket"), std::string::npos);
    EXPECT_EQ(QueryAdapterInfo(3), 0x4E481002u);
    int status = service.StopWith(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(KestatidStart, EveryCatalogueBoardLoadsOrRefusesCleanly) {
    const std::vector<std::string_view> mustLoad = {"9600pro-a", "9600pro",    "9500pro-f2",
                                                    "9700pro",   "9700pro-12", "9500pro",
                                                    "9800pro",   "9800pro-b",  "9200"};
    for (std::string_view name : sim::BoardNames()) {
        kesttest::TempDir dir;
        kesttest::Kestatid service(dir.Path());
        ASSERT_TRUE(service.Start({"--board", std::string(name)}));
        bool ready = service.WaitReady();
        bool expected = std::find(mustLoad.begin(), mustLoad.end(), name) != mustLoad.end();
        if (expected) {
            EXPECT_TRUE(ready) << name << "\n" << service.Log();
        }
        if (ready) {
            int status = service.StopWith(SIGTERM);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name;
        } else {
            int status = service.Wait();
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << name;
            EXPECT_NE(service.Log().find("did not load"), std::string::npos) << name;
        }
    }
}

}  // namespace
