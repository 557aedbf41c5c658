// kestctl read --json and watch against the real kestatid, with sensors pinned through the
// board's control socket; the signal and service-loss cases run the kestctl program itself.
#include <time.h>

#include <memory>
#include <regex>

#include <gtest/gtest.h>

#include "app/device/settings.h"
#include "protocol/frame.h"
#include "tests/host/e2e_support.h"
#include "tests/kestctl/kestctl_process.h"

namespace {

using kesttest::Ctl;
using kesttest::CtlResult;
using kesttest::KestctlProcess;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

class WatchTest : public ::testing::Test {
protected:
    void StartService(const std::vector<std::string>& extra = {}) {
        m_service = std::make_unique<kesttest::Kestatid>(m_dir.Path());
        setenv(kDeviceSocketEnv, m_service->Socket().c_str(), 1);
        setenv("KESTATI_SERVICE_KEY", m_service->ServiceKey().c_str(), 1);
        ASSERT_TRUE(m_service->StartAndWait(extra)) << m_service->Log();
    }
    void SetUp() override { StartService(); }
    void TearDown() override {
        if (m_service) {
            m_service->StopWith(SIGTERM);
        }
    }

    void Pin(const char* sensor, const char* value) {
        ASSERT_EQ(Ctl({"sim", "pin", sensor, value}).code, 0) << sensor;
    }

    kesttest::TempDir m_dir;
    std::unique_ptr<kesttest::Kestatid> m_service;
};

// Voltages are measured in 16 mV counts, so pins are multiples of 16.
TEST_F(WatchTest, ReadJsonGivesUnitsAndSafeFlagsByTheBoardsRanges) {
    struct Row {
        const char* sensor;
        const char* pin;
        const char* entry;
    };
    // A RADEON 9800 PRO: VPU core 1.5-1.9 V exclusive, memory core 2.70-3.10 V inclusive,
    // VPU below 85 C.
    const Row rows[] = {
        {"fan1", "2647",
         R"("fan1":{"name":"FAN Speed","raw":2647,"value":2647,"unit":"RPM","safe":false,)"
         R"("range":">3000  RPM"})"},
        {"in7", "1504",
         R"("in7":{"name":"VPU Core Voltage","raw":1504,"value":1.504,"unit":"V","safe":true,)"
         R"("range":"1.5V - 1.9V"})"},
        {"in5", "3104",
         R"("in5":{"name":"Memory Core Voltage","raw":3104,"value":3.104,"unit":"V",)"
         R"("safe":false,"range":"2.70V - 3.10V"})"},
        {"in1", "2448",
         R"("in1":{"name":"Memory I/O Voltage","raw":2448,"value":2.448,"unit":"V",)"
         R"("safe":false,"range":"2.45V - 2.85V"})"},
        {"temp1", "69",
         R"("temp1":{"name":"Memory Temperature 1","raw":69,"value":69,"unit":"°C","safe":true,)"
         R"("range":"< 70 C/ 158 F"})"},
        {"temp2", "70",
         R"("temp2":{"name":"Memory Temperature 2","raw":70,"value":70,"unit":"°C",)"
         R"("safe":false,"range":"< 70 C/ 158 F"})"},
        {"temp3", "84",
         R"("temp3":{"name":"VPU Temperature","raw":84,"value":84,"unit":"°C","safe":true,)"
         R"("range":"< 85 C/ 185 F"})"},
    };
    for (const Row& row : rows) {
        Pin(row.sensor, row.pin);
    }
    CtlResult r = Ctl({"read", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind(R"({"adapter":"0x4E481002","subsystem":"0x00021002","readings":{)", 0),
              0u)
        << r.out;
    for (const Row& row : rows) {
        EXPECT_NE(r.out.find(row.entry), std::string::npos) << row.entry << "\n" << r.out;
    }
    EXPECT_EQ(r.out.substr(r.out.size() - 3), "}}\n");
    // Seven items, in the order of the program's details list.
    std::regex keys(R"re("(\w+)":\{"name")re");
    std::string order;
    for (auto it = std::sregex_iterator(r.out.begin(), r.out.end(), keys);
         it != std::sregex_iterator(); ++it) {
        order += (*it)[1].str() + " ";
    }
    EXPECT_EQ(order, "fan1 in5 in1 temp1 temp2 in7 temp3 ");

    // With "Using 3rd Party Heatsink" stored, a slow fan is nothing to warn about.
    ASSERT_EQ(WriteNoFanSetting(1), 0);
    r = Ctl({"read", "--json"});
    EXPECT_NE(r.out.find(R"("raw":2647,"value":2647,"unit":"RPM","safe":true)"), std::string::npos)
        << r.out;

    // The default output is unchanged.
    CtlResult plain = Ctl({"read"});
    EXPECT_NE(plain.out.find("fan1 2647\nin1 2448\nin7 1504\nin5 3104\n"), std::string::npos)
        << plain.out;
}

TEST_F(WatchTest, FailedReadingsAreNullAndEmptyNeverANumber) {
    ASSERT_EQ(Ctl({"sim", "chip", "absent"}).code, 0);
    CtlResult json = Ctl({"read", "--json"});
    ASSERT_EQ(json.code, 0) << json.err;
    EXPECT_NE(json.out.find(R"("temp3":{"name":"VPU Temperature","raw":null,"value":null,)"
                            R"("unit":"°C","safe":null,"range":"< 85 C/ 185 F"})"),
              std::string::npos)
        << json.out;

    CtlResult csv = Ctl({"watch", "--count", "1", "--interval", "0", "--format", "csv"});
    ASSERT_EQ(csv.code, 0) << csv.err;
    std::vector<std::string> lines = Lines(csv.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(lines[1].find(',')), ",,,,,,,");

    CtlResult table = Ctl({"watch", "--count", "1", "--interval", "0"});
    lines = Lines(table.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), '-'), 7) << lines[1];
    EXPECT_EQ(lines[1].find_first_of("0123456789", 8), std::string::npos) << lines[1];
}

TEST_F(WatchTest, CsvHasAHeaderAndOneTimedLinePerSample) {
    Pin("fan1", "4500");
    Pin("in7", "1600");
    Pin("temp3", "91");
    CtlResult r = Ctl({"watch", "--count", "3", "--interval", "0.05", "--format", "csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines[0],
              "time,FAN Speed (RPM),Memory Core Voltage (V),Memory I/O Voltage (V),"
              "Memory Temperature 1 (°C),Memory Temperature 2 (°C),VPU Core Voltage (V),"
              "VPU Temperature (°C)");
    std::regex sample(
        R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,4500,\d\.\d{3},\d\.\d{3},\d+,\d+,)"
        R"(1\.600,91)");
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], sample)) << lines[i];
    }
    EXPECT_LT(lines[1], lines[3]);  // the times move on
}

TEST_F(WatchTest, TimesCarryTheLocalOffset) {
    struct Row {
        const char* tz;
        const char* offset;
    };
    const Row rows[] = {{"<+0530>-5:30", "+05:30,"}, {"<-03>3", "-03:00,"}, {"UTC0", "+00:00,"}};
    const char* saved = getenv("TZ");
    std::string savedTz = saved ? saved : "";
    for (const Row& row : rows) {
        setenv("TZ", row.tz, 1);
        tzset();
        CtlResult r = Ctl({"watch", "--count", "1", "--interval", "0", "--format", "csv"});
        EXPECT_NE(r.out.find(row.offset), std::string::npos) << row.tz << "\n" << r.out;
    }
    if (saved) {
        setenv("TZ", savedTz.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TEST_F(WatchTest, TableMarksUnsafeValuesAndJsonIsOneObjectPerLine) {
    Pin("fan1", "4500");
    Pin("in5", "2896");
    Pin("in7", "1488");
    Pin("temp3", "90");
    CtlResult table = Ctl({"watch", "--count", "2", "--interval", "0"});
    ASSERT_EQ(table.code, 0) << table.err;
    std::vector<std::string> lines = Lines(table.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("time", 0), 0u);
    for (const char* name : {"FAN Speed", "Memory Core Voltage", "VPU Temperature"}) {
        EXPECT_NE(lines[0].find(name), std::string::npos) << name;
    }
    for (const char* cell : {"4500 RPM ", "2.896 V ", "1.488 V!", "90 °C!"}) {
        EXPECT_NE(lines[1].find(cell), std::string::npos) << cell << "\n" << lines[1];
    }
    // Aligned: every value ends where its column's title does.
    size_t titleEnd = lines[0].find("Memory Core Voltage") + strlen("Memory Core Voltage");
    EXPECT_EQ(lines[1].find("2.896 V") + strlen("2.896 V"), titleEnd) << table.out;
    EXPECT_EQ(lines[1], lines[2].substr(0, 8) + lines[1].substr(8)) << "same values";

    CtlResult json = Ctl({"watch", "--count", "3", "--interval", "0.05", "--format", "json"});
    ASSERT_EQ(json.code, 0) << json.err;
    lines = Lines(json.out);
    ASSERT_EQ(lines.size(), 3u);
    std::regex object(R"re(\{"time":"[-0-9T:.+]+","readings":\{"fan1":\{.*\}\}\})re");
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::regex_match(line, object)) << line;
        EXPECT_NE(line.find(R"("in7":{"name":"VPU Core Voltage","raw":1488,"value":1.488,)"
                            R"("unit":"V","safe":false,)"),
                  std::string::npos)
            << line;
    }
}

TEST_F(WatchTest, TheRadeon9200HasFiveItems) {
    m_service->StopWith(SIGTERM);
    StartService({"--board", "9200"});
    Pin("in7", "1952");
    CtlResult r = Ctl({"watch", "--count", "1", "--interval", "0", "--format", "csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "time,FAN Speed (RPM),Memory Core Voltage (V),Memory I/O Voltage (V),"
              "VPU Core Voltage (V),VPU Temperature (°C)");
    CtlResult json = Ctl({"read", "--json"});
    EXPECT_NE(json.out.find(R"("in7":{"name":"VPU Core Voltage","raw":1952,"value":1.952,)"
                            R"("unit":"V","safe":false,"range":"1.25V - 1.95V"})"),
              std::string::npos)
        << json.out;
    // temp1 is among the other readings, not an item of the board.
    EXPECT_EQ(json.out.find(R"("temp1":{"name")"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find(R"("temp1":{"raw")"), std::string::npos) << json.out;
}

TEST_F(WatchTest, InterruptOrTerminateEndsAfterTheCurrentLine) {
    for (int signo : {SIGINT, SIGTERM}) {
        KestctlProcess watch({"watch", "--format", "csv", "--interval", "0.05"});
        watch.ReadLines(3);
        watch.Signal(signo);
        int status = watch.Wait();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << strsignal(signo);
        EXPECT_EQ(watch.Err(), "");
        ASSERT_FALSE(watch.Out().empty());
        EXPECT_EQ(watch.Out().back(), '\n');
        std::vector<std::string> lines = Lines(watch.Out());
        EXPECT_GE(lines.size(), 3u);
        for (const std::string& line : lines) {
            EXPECT_EQ(std::count(line.begin(), line.end(), ','), 7) << line;
        }
    }
}

TEST_F(WatchTest, TheServiceGoingAwayEndsWithExitOne) {
    KestctlProcess watch({"watch", "--format", "json", "--interval", "0.05"});
    ASSERT_GE(std::count(watch.ReadLines(2).begin(), watch.ReadLines(2).end(), '\n'), 2);
    m_service->StopWith(SIGTERM);
    int status = watch.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(watch.Err(), "kestctl: lost \\\\.\\kestati: the service stopped answering\n");
    EXPECT_EQ(watch.Out().back(), '\n');
    for (const std::string& line : Lines(watch.Out())) {
        EXPECT_EQ(line.back(), '}') << "only whole lines";
    }

    CtlResult r = Ctl({"watch", "--count", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("kestctl: cannot open \\\\.\\kestati"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(WatchArguments, BadValuesAreRefused) {
    struct Row {
        std::vector<const char*> args;
        int code;
        const char* needle;
    };
    const Row rows[] = {
        {{"watch", "--help"}, 0, "usage: kestctl watch [--interval SECONDS]"},
        {{"watch", "--interval", "-1"}, 2, "'-1' is not a valid value for --interval"},
        {{"watch", "--interval", "1e3"}, 2, "'1e3' is not a valid value"},
        {{"watch", "--interval", "."}, 2, "'.' is not a valid value"},
        {{"watch", "--interval", "1.2.3"}, 2, "'1.2.3' is not a valid value"},
        {{"watch", "--interval", "86401"}, 2, "'86401' is not a valid value"},
        {{"watch", "--count", "0"}, 2, "'0' is not a valid value for --count"},
        {{"watch", "--count", "x"}, 2, "'x' is not a valid value for --count"},
        {{"watch", "--format", "xml"}, 2, "'xml' is not a valid value for --format"},
        {{"watch", "--count"}, 2, "--count needs a value"},
        {{"watch", "--colour"}, 2, "unknown option '--colour'"},
        {{"read", "--xml"}, 2, "read takes no arguments but --json"},
        {{"read", "--json", "x"}, 2, "read takes no arguments but --json"},
    };
    for (const Row& row : rows) {
        CtlResult r = Ctl(row.args);
        EXPECT_EQ(r.code, row.code) << row.needle;
        const std::string& where = row.code == 0 ? r.out : r.err;
        EXPECT_NE(where.find(row.needle), std::string::npos) << row.needle << "\n" << where;
    }
}

}  // namespace
