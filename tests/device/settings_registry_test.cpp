// The four fan settings in the Windows registry, under the driver's service key.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/device/settings.h"

namespace {

constexpr const char* kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\KestATI";

class SettingsRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(KeyExists()) << "the service key is left from elsewhere"; }
    void TearDown() override { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kServiceKey); }

    static bool KeyExists() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }
    static void CreateKey() {
        HKEY key;
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kServiceKey, &key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_SET_VALUE, &key),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
};

TEST_F(SettingsRegistryTest, MissingKeyReadsAllOnesAndIsNeverCreated) {
    EXPECT_EQ(ReadFanControlSetting(), 0xFFFFu);
    EXPECT_EQ(ReadFan4TempSetting(), 0xFFFFu);
    EXPECT_EQ(WriteFanControlSetting(1), ERROR_FILE_NOT_FOUND);
    WriteFanSpeedSetting(0x60);
    EXPECT_FALSE(KeyExists());
}

TEST_F(SettingsRegistryTest, DwordsWrittenAreReadBackUnderTheirNames) {
    CreateKey();
    EXPECT_EQ(ReadNoFanSetting(), 0xFFFFu);  // the key alone holds no value
    EXPECT_EQ(WriteFanControlSetting(1), 0);
    EXPECT_EQ(WriteNoFanSetting(0), 0);
    EXPECT_EQ(WriteFan4TempSetting(0x12345678), 0);
    WriteFanSpeedSetting(0xC0);
    EXPECT_EQ(ReadFanControlSetting(), 1u);
    EXPECT_EQ(ReadNoFanSetting(), 0u);
    EXPECT_EQ(ReadFan4TempSetting(), 0x12345678u);
    EXPECT_EQ(ReadFanSpeedSetting(), 0xC0u);
}

TEST_F(SettingsRegistryTest, ShortValuesAreZeroExtendedAndLongOnesRejected) {
    CreateKey();
    const BYTE two[2] = {0x34, 0x12};
    SetRaw("fancontrol", REG_BINARY, two, sizeof two);
    EXPECT_EQ(ReadFanControlSetting(), 0x1234u);
    const BYTE five[5] = {1, 0, 0, 0, 0};
    SetRaw("fancontrol", REG_BINARY, five, sizeof five);
    EXPECT_EQ(ReadFanControlSetting(), 0xFFFFu);
}

}  // namespace
