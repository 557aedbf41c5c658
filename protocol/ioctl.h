// The control requests of the KestATI device and the records they carry. This header is the whole
// contract between the driver and its clients; both sides include it and nothing else of each
// other. Plain C++ with no library dependency so that the kernel build can use it too.
#pragma once

#include <stdint.h>

typedef uint32_t KestU32;

// Device type 0x22, METHOD_BUFFERED, FILE_ANY_ACCESS: code = 0x220000 | (function << 2).
constexpr KestU32 KestControlCode(KestU32 function) {
    return 0x220000u | (function << 2);
}

constexpr KestU32 IOCTL_GET_CLOCK_DIVIDERS = 0x220494;
constexpr KestU32 IOCTL_SET_CLOCK_DIVIDERS = 0x220498;
constexpr KestU32 IOCTL_GET_ADAPTER_INFO = 0x22049C;
constexpr KestU32 IOCTL_READ_FAN1 = 0x2204A0;
constexpr KestU32 IOCTL_READ_IN1 = 0x2204A4;
constexpr KestU32 IOCTL_READ_IN7 = 0x2204A8;
constexpr KestU32 IOCTL_READ_IN5 = 0x2204AC;
constexpr KestU32 IOCTL_READ_IN6 = 0x2204B0;
constexpr KestU32 IOCTL_READ_IN8 = 0x2204B4;
constexpr KestU32 IOCTL_READ_IN2 = 0x2204B8;
constexpr KestU32 IOCTL_READ_TEMP1 = 0x2204BC;
constexpr KestU32 IOCTL_READ_TEMP2 = 0x2204C0;
constexpr KestU32 IOCTL_READ_TEMP3 = 0x2204C4;
constexpr KestU32 IOCTL_READ_CHIP_ID = 0x2204C8;
constexpr KestU32 IOCTL_SET_TEMP2_LIMIT = 0x2204CC;
constexpr KestU32 IOCTL_SET_TEMP3_LIMIT = 0x2204D0;
constexpr KestU32 IOCTL_SET_FAN_DRIVE = 0x2204D4;
constexpr KestU32 IOCTL_GET_FAN_DRIVE = 0x2204D8;
constexpr KestU32 IOCTL_SET_FAN1_LIMIT = 0x2204DC;
constexpr KestU32 IOCTL_SET_TEMP1_LIMIT = 0x2204E0;
constexpr KestU32 IOCTL_SET_IN7_LIMIT_A = 0x2204E4;
constexpr KestU32 IOCTL_SET_IN1_LIMIT_A = 0x2204E8;
constexpr KestU32 IOCTL_SET_IN2_LIMIT_A = 0x2204EC;
constexpr KestU32 IOCTL_SET_IN5_LIMIT_A = 0x2204F0;
constexpr KestU32 IOCTL_SET_IN8_LIMIT_A = 0x2204F4;
constexpr KestU32 IOCTL_SET_IN6_LIMIT_A = 0x2204F8;
constexpr KestU32 IOCTL_SET_IN7_LIMIT_B = 0x2204FC;
constexpr KestU32 IOCTL_SET_IN1_LIMIT_B = 0x220500;
constexpr KestU32 IOCTL_SET_IN2_LIMIT_B = 0x220504;
constexpr KestU32 IOCTL_SET_IN5_LIMIT_B = 0x220508;
constexpr KestU32 IOCTL_SET_IN8_LIMIT_B = 0x22050C;
constexpr KestU32 IOCTL_SET_IN6_LIMIT_B = 0x220510;
constexpr KestU32 IOCTL_NO_OPERATION = 0x220514;  // defined code that does nothing
constexpr KestU32 IOCTL_ALARMS_OFF = 0x220518;
constexpr KestU32 IOCTL_ALARMS_ON = 0x22051C;
constexpr KestU32 IOCTL_REINIT_MONITOR = 0x220520;
constexpr KestU32 IOCTL_READ_BANK0_REG = 0x220524;
constexpr KestU32 IOCTL_READ_BANK1_REG = 0x220528;
constexpr KestU32 IOCTL_READ_BANK2_REG = 0x22052C;
constexpr KestU32 IOCTL_READ_BANK3_REG = 0x220530;
constexpr KestU32 IOCTL_READ_BANK4_REG = 0x220534;
constexpr KestU32 IOCTL_READ_BANK5_REG = 0x220538;
constexpr KestU32 IOCTL_READ_BANK6_REG = 0x22053C;
constexpr KestU32 IOCTL_READ_IO_REG = 0x220540;
constexpr KestU32 IOCTL_READ_PLL_REG = 0x220544;
constexpr KestU32 IOCTL_READ_AUX_I2C_REG = 0x220548;

constexpr KestU32 kFirstControlCode = IOCTL_GET_CLOCK_DIVIDERS;
constexpr KestU32 kLastControlCode = IOCTL_READ_AUX_I2C_REG;

static_assert(KestControlCode(0x125) == IOCTL_GET_CLOCK_DIVIDERS, "function 0x125");
static_assert(KestControlCode(0x152) == IOCTL_READ_AUX_I2C_REG, "function 0x152");

// Completion statuses a client can see (NTSTATUS values).
constexpr KestU32 kStatusSuccess = 0x00000000;
constexpr KestU32 kStatusInvalidParameter = 0xC000000D;
constexpr KestU32 kStatusInvalidDeviceRequest = 0xC0000010;
constexpr KestU32 kStatusBufferTooSmall = 0xC0000023;
constexpr KestU32 kStatusDeletePending = 0xC0000056;

// PCI id words (device id << 16 | vendor id) of the adapters the driver serves.
constexpr KestU32 kAdapterRadeon9600Pro = 0x41501002;  // RV350
constexpr KestU32 kAdapterRadeon9500Pro = 0x4E441002;  // R300, also 9700 PRO
constexpr KestU32 kAdapterRadeon9800Pro = 0x4E481002;  // R350
constexpr KestU32 kAdapterRadeon9700Pro = 0x4E451002;
constexpr KestU32 kAdapterRadeon9200 = 0x59611002;  // RV280

constexpr bool IsSupportedAdapter(KestU32 pciId) {
    return pciId == 0x41501002 || pciId == 0x4E441002 || pciId == 0x4E451002 ||
           pciId == 0x4E481002 || pciId == 0x59611002;
}

#pragma pack(push, 1)
struct AdapterInfo {
    KestU32 apertureBase;
    KestU32 apertureSizeMB;
    KestU32 pciId;
    KestU32 ioBase;
    KestU32 agpRate;
    KestU32 agpVersion;
    KestU32 subsystemId;
};

struct MonitorReadings {
    KestU32 chipId;
    KestU32 fan1Rpm;
    KestU32 regValue;
    KestU32 in7;
    KestU32 in1;
    KestU32 in2;
    KestU32 in5;
    KestU32 in8;
    KestU32 in6;
    KestU32 temp1;
    KestU32 temp2;
    KestU32 temp3;
    KestU32 temp2Address;
    KestU32 temp3Address;
};
#pragma pack(pop)

static_assert(sizeof(AdapterInfo) == 28, "AdapterInfo is seven packed words");
static_assert(sizeof(MonitorReadings) == 56, "MonitorReadings is fourteen packed words");

// The device's names: kernel object, its link, and the path a user-mode client opens.
#define KEST_DEVICE_NAME L"\\Device\\KestATI"
#define KEST_LINK_NAME L"\\DosDevices\\KestATI"
#define KEST_USER_PATH "\\\\.\\kestati"
