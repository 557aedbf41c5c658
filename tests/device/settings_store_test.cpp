// The service key file behind the four fan settings.
#include <stdlib.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "common/service_key_file.h"
#include "app/device/settings.h"
#include "tests/host/kestatid_process.h"

namespace {

const std::string kHeader =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\KestATI]\n";

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_dir.Path() + "/KestATI.reg";
        setenv(kServiceKeyEnv, m_path.c_str(), 1);
    }
    void TearDown() override { unsetenv(kServiceKeyEnv); }

    void WriteFile(const std::string& text) const {
        std::ofstream out(m_path, std::ios::binary);
        out << text;
    }
    std::string ReadFile() const {
        std::ifstream in(m_path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    int FilesInDir() const {
        std::string command = "ls -A '" + m_dir.Path() + "' | wc -l > '" + m_dir.Path() + ".n'";
        if (system(command.c_str()) != 0) {
            return -1;
        }
        std::ifstream in(m_dir.Path() + ".n");
        int n = -1;
        in >> n;
        unlink((m_dir.Path() + ".n").c_str());
        return n;
    }

    kesttest::TempDir m_dir;
    std::string m_path;
};

TEST_F(SettingsStoreTest, MissingKeyReadsFFFFAndWritesFailWithoutCreatingIt) {
    EXPECT_EQ(ReadFanControlSetting(), 0xFFFFu);
    EXPECT_EQ(ReadNoFanSetting(), 0xFFFFu);
    EXPECT_EQ(ReadFanSpeedSetting(), 0xFFFFu);
    EXPECT_EQ(ReadFan4TempSetting(), 0xFFFFu);
    EXPECT_EQ(WriteFanControlSetting(1), kErrorFileNotFound);
    EXPECT_EQ(WriteNoFanSetting(1), kErrorFileNotFound);
    EXPECT_EQ(WriteFan4TempSetting(1), kErrorFileNotFound);
    WriteFanSpeedSetting(50);
    struct stat st;
    EXPECT_NE(stat(m_path.c_str(), &st), 0);

    // A file without the key's section is no key either.
    WriteFile(
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n"
        "\"fancontrol\"=dword:00000001\n");
    EXPECT_EQ(ReadFanControlSetting(), 0xFFFFu);
    EXPECT_EQ(WriteFanControlSetting(1), kErrorFileNotFound);
}

TEST_F(SettingsStoreTest, ValuesOfEverySize) {
    struct Row {
        const char* line;
        uint32_t expected;
    };
    const Row rows[] = {
        {"\"fancontrol\"=dword:00000001", 1},
        {"\"fancontrol\"=dword:0000ffff", 0xFFFF},
        {"\"fancontrol\"=dword:8", 8},
        {"\"fancontrol\"=hex:05,01", 0x0105},  // 2 bytes, high bytes zero
        {"\"fancontrol\"=hex:2a", 0x2A},
        {"\"fancontrol\"=hex:78,56,34,12", 0x12345678},
        {"\"fancontrol\"=hex(4):01,00,00,00", 1},
        {"\"fancontrol\"=hex(b):01,00,00,00,00,00,00,00", 0xFFFF},  // 8 bytes: too long
        {"\"fancontrol\"=hex:01,00,00,00,00", 0xFFFF},
        {"\"fancontrol\"=\"ab\"", 0x6261},  // a string with its terminating zero
        {"\"fancontrol\"=\"abcd\"", 0xFFFF},
        {"\"fancontrol\"=dword:zz", 0xFFFF},
        {"\"fancontrol\"=hex:0g", 0xFFFF},
        {"\"fancontrol\"=-", 0xFFFF},
        {"\"FANCONTROL\"=dword:00000003", 3},        // names are not case-sensitive
        {"\"fancontrol\"=hex:01,\\\n  02", 0x0201},  // continued line
        {"\"nofan\"=dword:00000001", 0xFFFF},
    };
    for (const Row& row : rows) {
        WriteFile(kHeader + row.line + "\n");
        EXPECT_EQ(ReadFanControlSetting(), row.expected) << row.line;
    }
}

TEST_F(SettingsStoreTest, WritesReplaceTheFileAndKeepEverythingElse) {
    const std::string before = kHeader +
                               "\"fanspeed\"=dword:00000050\r\n"
                               "\"Fan4Temp\"=hex:01,00\n"
                               "\"other\"=\"kept\"\n"
                               "\n"
                               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Elsewhere]\n"
                               "\"fancontrol\"=dword:00000009\n";
    WriteFile(before);
    chmod(m_path.c_str(), 0664);
    struct stat old;
    ASSERT_EQ(stat(m_path.c_str(), &old), 0);
    // Held open so the file system cannot hand the old inode number to a later replacement.
    const int oldFd = open(m_path.c_str(), O_RDONLY);
    ASSERT_GE(oldFd, 0);

    EXPECT_EQ(WriteFan4TempSetting(0), kErrorSuccess);
    EXPECT_EQ(WriteFanControlSetting(1), kErrorSuccess);
    WriteFanSpeedSetting(0x3A);

    EXPECT_EQ(ReadFile(), kHeader +
                              "\"fanspeed\"=dword:0000003a\r\n"
                              "\"Fan4Temp\"=dword:00000000\n"
                              "\"other\"=\"kept\"\n"
                              "\"fancontrol\"=dword:00000001\n"
                              "\n"
                              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Elsewhere]\n"
                              "\"fancontrol\"=dword:00000009\n");
    EXPECT_EQ(ReadFanControlSetting(), 1u);
    EXPECT_EQ(ReadFan4TempSetting(), 0u);
    EXPECT_EQ(ReadFanSpeedSetting(), 0x3Au);
    EXPECT_EQ(ReadNoFanSetting(), 0xFFFFu);

    struct stat now;
    ASSERT_EQ(stat(m_path.c_str(), &now), 0);
    EXPECT_NE(now.st_ino, old.st_ino) << "replaced by rename, not rewritten in place";
    close(oldFd);
    EXPECT_EQ(now.st_mode & 0777, 0664u);
    EXPECT_EQ(FilesInDir(), 1) << "no temporary file left behind";
}

TEST_F(SettingsStoreTest, ConcurrentWritersLoseNothing) {
    WriteFile(kHeader);
    constexpr uint32_t kRounds = 25;
    std::thread a([] {
        for (uint32_t i = 1; i <= kRounds; ++i) {
            WriteFanControlSetting(i);
        }
    });
    std::thread b([] {
        for (uint32_t i = 1; i <= kRounds; ++i) {
            WriteNoFanSetting(100 + i);
        }
    });
    std::thread c([] {
        for (uint32_t i = 1; i <= kRounds; ++i) {
            WriteFanSpeedSetting(200 + i);
        }
    });
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(ReadFanControlSetting(), kRounds);
    EXPECT_EQ(ReadNoFanSetting(), 100 + kRounds);
    EXPECT_EQ(ReadFanSpeedSetting(), 200 + kRounds);
    EXPECT_EQ(FilesInDir(), 1);
}

TEST_F(SettingsStoreTest, KeyFileCreatedOnlyWhenMissing) {
    std::string error;
    bool created = false;
    ASSERT_TRUE(CreateServiceKeyFileIfMissing(m_path.c_str(), 0664, static_cast<gid_t>(-1), &error,
                                              &created));
    EXPECT_TRUE(created);
    EXPECT_EQ(ReadFile(), kHeader);
    EXPECT_EQ(WriteNoFanSetting(1), kErrorSuccess);
    ASSERT_TRUE(CreateServiceKeyFileIfMissing(m_path.c_str(), 0664, static_cast<gid_t>(-1), &error,
                                              &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(ReadNoFanSetting(), 1u);
}

TEST(FanSpeedRule, RangeAndReplacementPerAdapter) {
    struct Row {
        uint32_t adapter;
        uint32_t stored;
        uint32_t applied;
    };
    const Row rows[] = {
        {0x59611002, 255, 30}, {0x59611002, 40, 40},     {0x59611002, 76, 30},
        {0x59611002, 30, 30},  {0x59611002, 75, 75},     {0x59611002, 29, 30},
        {0x59611002, 20, 30},  {0x4E481002, 255, 58},    {0x4E481002, 150, 58},
        {0x4E481002, 40, 40},  {0x4E481002, 112, 112},   {0x4E481002, 39, 58},
        {0x41501002, 255, 45}, {0x41501002, 250, 45},    {0x41501002, 200, 200},
        {0x41501002, 40, 40},  {0x4E441002, 0xFFFF, 45}, {0, 0xFFFF, 45},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FanSpeedForAdapter(row.adapter, row.stored), row.applied)
            << std::hex << row.adapter << " " << std::dec << row.stored;
    }
}

}  // namespace
