// kestctl's arguments and output over the in-process transport.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <regex>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "protocol/frame.h"
#include "protocol/ioctl.h"
#include "tests/device/device_fixture.h"
#include "tests/host/kestatid_process.h"
#include "tools/kestctl/kestctl.h"

namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result Kestctl(std::vector<const char*> args) {
    args.insert(args.begin(), "kestctl");
    Result r;
    r.code = RunKestctl(static_cast<int>(args.size()), args.data(), &r.out, &r.err);
    return r;
}

class KestctlTest : public kesttest::DeviceTest {};

TEST_F(KestctlTest, RawPrintsStatusCountAndBytes) {
    struct Row {
        std::vector<const char*> args;
        std::string line;
    };
    m_machine->PinSensor(sim::Sensor::temp3, 66);
    const Row rows[] = {
        {{"raw", "0x22049C", "--out", "27"}, "0xC0000023 0\n"},
        {{"raw", "2229460", "--in-bytes", "aabbcc"}, "0xC0000023 0\n"},
        {{"raw", "0x2204D4", "--in", "0x50"}, "0x00000000 0\n"},
        {{"raw", "0x2204D4", "--in", "0x51", "--in", "7"}, "0x00000000 0\n"},
        {{"raw", "0x220544", "--in", "0x0E", "--out", "4"}, "0x00000000 4 00bc0004\n"},
        {{"raw", "0x220544", "--in-bytes", "0e000000", "--out", "0x4"}, "0x00000000 4 00bc0004\n"},
        {{"raw", "0x220496", "--out", "56"}, "0x00000000 0\n"},
        {{"raw", "0x2204C4"}, "0xC0000023 0\n"},
    };
    for (const Row& row : rows) {
        Result r = Kestctl(row.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, row.line) << row.args[1];
    }
    EXPECT_EQ(m_machine->FanDrive(), 0x51);  // the first word of two counts

    Result temp = Kestctl({"raw", "0x2204C4", "--out", "56"});
    ASSERT_EQ(temp.out.size(), std::string("0x00000000 56 ").size() + 112 + 1);
    EXPECT_EQ(temp.out.substr(14 + 11 * 8, 8), "42000000");
    EXPECT_EQ(temp.out.substr(14 + 13 * 8, 8), "90000000");  // second sub-sensor's address
}

TEST_F(KestctlTest, InfoAndRead) {
    Result info = Kestctl({"info"});
    ASSERT_EQ(info.code, 0) << info.err;
    const sim::BoardSpec& b = m_machine->Board();
    char expected[512];
    snprintf(expected, sizeof expected,
             "apertureBase 0x%08X\napertureSizeMB %u MiB\n"
             "pciId 0x4E481002 device 0x4E48 vendor 0x1002\nioBase 0x%08X\n",
             b.bar0 & ~0xFu, b.apertureSizeMiB, b.bar1 & ~3u);
    EXPECT_EQ(info.out.substr(0, strlen(expected)), expected);
    EXPECT_NE(info.out.find("agpVersion "), std::string::npos);
    EXPECT_NE(info.out.find("subsystemId 0x00021002 device 0x0002 vendor 0x1002\n"),
              std::string::npos)
        << info.out;

    m_machine->PinSensor(sim::Sensor::fan1, 2647);
    m_machine->PinSensor(sim::Sensor::in8, 1600);
    Result read = Kestctl({"read"});
    ASSERT_EQ(read.code, 0);
    const char* lines[] = {"fan1 2647\n", "in8 1600\n", "chip_id 0x30\n", "fan_drive 255\n"};
    for (const char* line : lines) {
        EXPECT_NE(read.out.find(line), std::string::npos) << line << read.out;
    }
    EXPECT_EQ(std::count(read.out.begin(), read.out.end(), '\n'), 12);
}

// Every reading plain `read` prints is in the JSON object: the board's items first, then the
// others in `read` order, without a name or a range and never judged.
TEST_F(KestctlTest, ReadJsonHoldsEveryReadingOfRead) {
    struct Row {
        const char* board;
        bool chipPresent;
        const char* keys;
        std::vector<const char*> entries;
    };
    const Row rows[] = {
        {"9800pro",
         true,
         "fan1 in5 in1 temp1 temp2 in7 temp3 in6 in8 in2 chip_id fan_drive ",
         {R"("temp3":{"name":"VPU Temperature","raw":66,"value":66,"unit":"°C","safe":true,)",
          R"("in6":{"raw":3312,"value":3.312,"unit":"V","safe":null},)",
          R"("in8":{"raw":1008,"value":1.008,"unit":"V","safe":null},)",
          R"("in2":{"raw":2496,"value":2.496,"unit":"V","safe":null},)",
          R"("chip_id":{"raw":48,"safe":null},"fan_drive":{"raw":255,"safe":null}}})"}},
        {"9800pro",
         false,
         "fan1 in5 in1 temp1 temp2 in7 temp3 in6 in8 in2 chip_id fan_drive ",
         {R"("in6":{"raw":null,"value":null,"unit":"V","safe":null},)",
          R"("chip_id":{"raw":null,"safe":null},"fan_drive":{"raw":null,"safe":null}}})"}},
        // The RADEON 9200's monitor shows no memory temperatures.
        {"9200",
         true,
         "fan1 in5 in1 in7 temp3 in6 in8 in2 temp1 temp2 chip_id fan_drive ",
         {R"("in2":{"raw":2496,"value":2.496,"unit":"V","safe":null},)",
          R"("temp1":{"raw":45,"value":45,"unit":"°C","safe":null},)"}},
    };
    std::regex key(R"re("(\w+)":\{"(name|raw)")re");
    for (const Row& row : rows) {
        host::UnloadDriver();
        Load(row.board);
        m_machine->PinSensor(sim::Sensor::temp3, 66);
        m_machine->PinSensor(sim::Sensor::temp1, 45);
        m_machine->PinSensor(sim::Sensor::in6, 3312);
        m_machine->PinSensor(sim::Sensor::in8, 1008);
        m_machine->PinSensor(sim::Sensor::in2, 2496);
        m_machine->SetChipPresent(row.chipPresent);
        Result r = Kestctl({"read", "--json"});
        ASSERT_EQ(r.code, 0) << r.err;
        std::string keys;
        for (auto it = std::sregex_iterator(r.out.begin(), r.out.end(), key);
             it != std::sregex_iterator(); ++it) {
            keys += (*it)[1].str() + " ";
        }
        EXPECT_EQ(keys, row.keys) << r.out;
        for (const char* entry : row.entries) {
            EXPECT_NE(r.out.find(entry), std::string::npos) << entry << "\n" << r.out;
        }
    }
}

TEST_F(KestctlTest, WithoutTheDeviceExitOne) {
    host::UnloadDriver();
    for (std::vector<const char*> args :
         {std::vector<const char*>{"info"}, std::vector<const char*>{"read"},
          std::vector<const char*>{"raw", "0x220494", "--out", "4"}}) {
        Result r = Kestctl(args);
        EXPECT_EQ(r.code, 1) << args[0];
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(r.err, "kestctl: cannot open \\\\.\\kestati: no such device\n");
    }
}

TEST(KestctlArguments, HelpAndBadArguments) {
    struct Row {
        std::vector<const char*> args;
        int code;
        const char* needle;  // in out for 0, in err otherwise
    };
    const Row rows[] = {
        {{}, 2, "no command given"},
        {{"--help"}, 0, "usage: kestctl COMMAND"},
        {{"info", "--help"}, 0, "usage: kestctl info"},
        {{"read", "--help"}, 0, "usage: kestctl read"},
        {{"raw", "--help"}, 0, "usage: kestctl raw CODE"},
        {{"sim", "--help"}, 0, "usage: kestctl sim COMMAND"},
        {{"frob"}, 2, "unknown command 'frob'"},
        {{"info", "x"}, 2, "info takes no arguments"},
        {{"raw"}, 2, "raw needs a control code"},
        {{"raw", "0xZZ"}, 2, "'0xZZ' is not a control code"},
        {{"raw", "-5"}, 2, "'-5' is not a control code"},
        {{"raw", "0x100000000"}, 2, "is not a control code"},
        {{"raw", " 5"}, 2, "' 5' is not a control code"},
        {{"raw", "0x"}, 2, "'0x' is not a control code"},
        {{"raw", "0x 5"}, 2, "'0x 5' is not a control code"},
        {{"raw", "0x-1"}, 2, "'0x-1' is not a control code"},
        {{"raw", "0x0x5"}, 2, "'0x0x5' is not a control code"},
        {{"raw", "1", "--in", "+5"}, 2, "'+5' is not a 32-bit value"},
        {{"raw", "1", "--out", "\t4"}, 2, "is not a length"},
        {{"raw", "1", "--in"}, 2, "--in needs a value"},
        {{"raw", "1", "--in", "4294967296"}, 2, "is not a 32-bit value"},
        {{"raw", "1", "--in-bytes", "abc"}, 2, "hex byte pairs"},
        {{"raw", "1", "--in-bytes", "zz"}, 2, "hex byte pairs"},
        {{"raw", "1", "--out", "4097"}, 2, "limited to 4096 bytes"},
        {{"raw", "1", "--bogus", "1"}, 2, "unknown option '--bogus'"},
        {{"sim"}, 2, "sim needs a command"},
    };
    for (const Row& row : rows) {
        Result r = Kestctl(row.args);
        EXPECT_EQ(r.code, row.code) << (row.args.empty() ? "(none)" : row.args[0]);
        const std::string& where = row.code == 0 ? r.out : r.err;
        EXPECT_NE(where.find(row.needle), std::string::npos) << row.needle << "\n" << where;
    }
}

// A stand-in for the service's board control socket: takes one command line, answers with
// `answer` and hangs up.
class FakeBoardSocket {
public:
    FakeBoardSocket(const std::string& devicePath, std::string answer)
        : m_path(devicePath + kSimSocketSuffix), m_answer(std::move(answer)) {
        m_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        snprintf(address.sun_path, sizeof address.sun_path, "%s", m_path.c_str());
        EXPECT_EQ(bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(listen(m_fd, 1), 0);
        m_thread = std::thread([this] {
            int client = accept(m_fd, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            char c = 0;
            while (recv(client, &c, 1, 0) == 1 && c != '\n') {
                m_command.push_back(c);
            }
            if (send(client, m_answer.data(), m_answer.size(), MSG_NOSIGNAL) < 0) {
                // The client went away; the test sees that in its own result.
            }
            close(client);
        });
    }
    ~FakeBoardSocket() {
        m_thread.join();
        close(m_fd);
        unlink(m_path.c_str());
    }
    const std::string& Command() const { return m_command; }

private:
    std::string m_path;
    std::string m_answer;
    std::string m_command;
    int m_fd = -1;
    std::thread m_thread;
};

TEST(KestctlSim, AnswersOfTheBoardSocket) {
    kesttest::TempDir dir;
    const std::string device = dir.Path() + "/kestati.sock";
    setenv(kDeviceSocketEnv, device.c_str(), 1);
    struct Row {
        const char* answer;
        int code;
        const char* out;
        const char* err;
    };
    const Row rows[] = {
        {"ok\n", 0, "", ""},
        {"fan_drive=255\nbeeper=off\n", 0, "fan_drive=255\nbeeper=off\n", ""},
        {"error: unknown sensor 'fan9'\n", 2, "", "kestctl: sim: unknown sensor 'fan9'\n"},
        {"error:", 2, "", "kestctl: sim: \n"},
        {"", 1, "", "kestctl: the simulated board did not answer\n"},
    };
    for (const Row& row : rows) {
        Result r;
        {
            FakeBoardSocket board(device, row.answer);
            r = Kestctl({"sim", "pin", "fan1", "2647"});
            EXPECT_EQ(board.Command(), "pin fan1 2647");
        }
        EXPECT_EQ(r.code, row.code) << row.answer;
        EXPECT_EQ(r.out, row.out) << row.answer;
        EXPECT_EQ(r.err, row.err) << row.answer;
    }
    unsetenv(kDeviceSocketEnv);
}

}  // namespace
