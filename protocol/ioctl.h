// The control requests of the KestATI device and the records they carry. This header is the whole
// contract between the driver and its clients; both sides include it and nothing else of each
// other. Plain C++ with no library dependency so that the kernel build can use it too.
#pragma once

#include <stdint.h>

typedef uint32_t KestU32;

// A control code from its parts, as the kernel's CTL_CODE builds it: device type in bits 31-16,
// required access in 15-14, function in 13-2, transfer method in 1-0.
constexpr KestU32 kKestDeviceType = 0x22;  // FILE_DEVICE_UNKNOWN
constexpr KestU32 kKestMethodBuffered = 0;
constexpr KestU32 kKestFileAnyAccess = 0;
constexpr KestU32 KestControlCode(KestU32 function) {
    return (kKestDeviceType << 16) | (kKestFileAnyAccess << 14) | (function << 2) |
           kKestMethodBuffered;
}

constexpr KestU32 IOCTL_GET_CLOCK_DIVIDERS = KestControlCode(0x125);
constexpr KestU32 IOCTL_SET_CLOCK_DIVIDERS = KestControlCode(0x126);
constexpr KestU32 IOCTL_GET_ADAPTER_INFO = KestControlCode(0x127);
constexpr KestU32 IOCTL_READ_FAN1 = KestControlCode(0x128);
constexpr KestU32 IOCTL_READ_IN1 = KestControlCode(0x129);
constexpr KestU32 IOCTL_READ_IN7 = KestControlCode(0x12A);
constexpr KestU32 IOCTL_READ_IN5 = KestControlCode(0x12B);
constexpr KestU32 IOCTL_READ_IN6 = KestControlCode(0x12C);
constexpr KestU32 IOCTL_READ_IN8 = KestControlCode(0x12D);
constexpr KestU32 IOCTL_READ_IN2 = KestControlCode(0x12E);
constexpr KestU32 IOCTL_READ_TEMP1 = KestControlCode(0x12F);
constexpr KestU32 IOCTL_READ_TEMP2 = KestControlCode(0x130);
constexpr KestU32 IOCTL_READ_TEMP3 = KestControlCode(0x131);
constexpr KestU32 IOCTL_READ_CHIP_ID = KestControlCode(0x132);
constexpr KestU32 IOCTL_SET_TEMP2_LIMIT = KestControlCode(0x133);
constexpr KestU32 IOCTL_SET_TEMP3_LIMIT = KestControlCode(0x134);
constexpr KestU32 IOCTL_SET_FAN_DRIVE = KestControlCode(0x135);
constexpr KestU32 IOCTL_GET_FAN_DRIVE = KestControlCode(0x136);
constexpr KestU32 IOCTL_SET_FAN1_LIMIT = KestControlCode(0x137);
constexpr KestU32 IOCTL_SET_TEMP1_LIMIT = KestControlCode(0x138);
constexpr KestU32 IOCTL_SET_IN7_LIMIT_A = KestControlCode(0x139);
constexpr KestU32 IOCTL_SET_IN1_LIMIT_A = KestControlCode(0x13A);
constexpr KestU32 IOCTL_SET_IN2_LIMIT_A = KestControlCode(0x13B);
constexpr KestU32 IOCTL_SET_IN5_LIMIT_A = KestControlCode(0x13C);
constexpr KestU32 IOCTL_SET_IN8_LIMIT_A = KestControlCode(0x13D);
constexpr KestU32 IOCTL_SET_IN6_LIMIT_A = KestControlCode(0x13E);
constexpr KestU32 IOCTL_SET_IN7_LIMIT_B = KestControlCode(0x13F);
constexpr KestU32 IOCTL_SET_IN1_LIMIT_B = KestControlCode(0x140);
constexpr KestU32 IOCTL_SET_IN2_LIMIT_B = KestControlCode(0x141);
constexpr KestU32 IOCTL_SET_IN5_LIMIT_B = KestControlCode(0x142);
constexpr KestU32 IOCTL_SET_IN8_LIMIT_B = KestControlCode(0x143);
constexpr KestU32 IOCTL_SET_IN6_LIMIT_B = KestControlCode(0x144);
constexpr KestU32 IOCTL_NO_OPERATION = KestControlCode(0x145);  // defined code that does nothing
constexpr KestU32 IOCTL_ALARMS_OFF = KestControlCode(0x146);
constexpr KestU32 IOCTL_ALARMS_ON = KestControlCode(0x147);
constexpr KestU32 IOCTL_REINIT_MONITOR = KestControlCode(0x148);
constexpr KestU32 IOCTL_READ_BANK0_REG = KestControlCode(0x149);
constexpr KestU32 IOCTL_READ_BANK1_REG = KestControlCode(0x14A);
constexpr KestU32 IOCTL_READ_BANK2_REG = KestControlCode(0x14B);
constexpr KestU32 IOCTL_READ_BANK3_REG = KestControlCode(0x14C);
constexpr KestU32 IOCTL_READ_BANK4_REG = KestControlCode(0x14D);
constexpr KestU32 IOCTL_READ_BANK5_REG = KestControlCode(0x14E);
constexpr KestU32 IOCTL_READ_BANK6_REG = KestControlCode(0x14F);
constexpr KestU32 IOCTL_READ_IO_REG = KestControlCode(0x150);
constexpr KestU32 IOCTL_READ_PLL_REG = KestControlCode(0x151);
constexpr KestU32 IOCTL_READ_AUX_I2C_REG = KestControlCode(0x152);

constexpr KestU32 kFirstControlCode = IOCTL_GET_CLOCK_DIVIDERS;
constexpr KestU32 kLastControlCode = IOCTL_READ_AUX_I2C_REG;

static_assert(kFirstControlCode == 0x220494 && kLastControlCode == 0x220548, "the code range");

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

// Subsystem id words (subsystem device id << 16 | subsystem vendor id) of the boards the program
// treats apart from others with the same adapter.
constexpr KestU32 kSubsystem9800B = 0x20021787;
constexpr KestU32 kSubsystemF2 = 0x00F21D5A;
constexpr KestU32 kSubsystem12 = 0x00121D5A;

constexpr bool IsSupportedAdapter(KestU32 pciId) {
    return pciId == kAdapterRadeon9600Pro || pciId == kAdapterRadeon9500Pro ||
           pciId == kAdapterRadeon9700Pro || pciId == kAdapterRadeon9800Pro ||
           pciId == kAdapterRadeon9200;
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
