// The driver frame: entry, the create/close, device-control and power dispatch routines, unload.
#include "driver/adapter.h"
#include "driver/kestati.h"
#include "driver/monitorchip.h"

ULONG g_AdapterId;

namespace {

// What a request checks and produces, in the order the dispatcher applies them.
enum RequestKind : UCHAR {
    kGetClockDividers,  // PLL read first, output checked after
    kSetClockDividers,  // index selected before the input check
    kAdapterInfoCopy,   // output only; no adapter check
    kReading,           // chip read into MonitorReadings
    kBankReading,       // input names the register; chip read into MonitorReadings
    kSetting,           // input value to the chip
    kAlarmSwitch,       // chip operation without input or output
    kReinitMonitor,     // new scan and chip start-up, always succeeds
    kNoOperation,       // defined code that does nothing
    kIoWindowRead,      // input offset, output word
    kPllRegisterRead,   // input index, output word
    kAuxRead,           // input register, output word, result not checked
};

typedef LONG (*ReadingOperation)(ULONG ioBase, MonitorReadings* readings);
typedef LONG (*SettingOperation)(ULONG ioBase, ULONG value);
typedef LONG (*SwitchOperation)(ULONG ioBase);

struct ControlRequest {
    ULONG code;
    RequestKind kind;
    ReadingOperation reading;
    SettingOperation setting;
    SwitchOperation alarmSwitch;
    UCHAR bank;
};

constexpr ControlRequest Request(ULONG code, RequestKind kind) {
    return {code, kind, nullptr, nullptr, nullptr, 0};
}
constexpr ControlRequest Reading(ULONG code, ReadingOperation op) {
    return {code, kReading, op, nullptr, nullptr, 0};
}
constexpr ControlRequest Setting(ULONG code, SettingOperation op) {
    return {code, kSetting, nullptr, op, nullptr, 0};
}
constexpr ControlRequest Switch(ULONG code, SwitchOperation op) {
    return {code, kAlarmSwitch, nullptr, nullptr, op, 0};
}
constexpr ControlRequest BankRead(ULONG code, UCHAR bank) {
    return {code, kBankReading, nullptr, nullptr, nullptr, bank};
}

// Row n answers code kFirstControlCode + 4n; the checks below hold every row to its place.
constexpr ControlRequest kRequests[] = {
    Request(IOCTL_GET_CLOCK_DIVIDERS, kGetClockDividers),
    Request(IOCTL_SET_CLOCK_DIVIDERS, kSetClockDividers),
    Request(IOCTL_GET_ADAPTER_INFO, kAdapterInfoCopy),
    Reading(IOCTL_READ_FAN1, ReadFan1),
    Reading(IOCTL_READ_IN1, ReadIn1),
    Reading(IOCTL_READ_IN7, ReadIn7),
    Reading(IOCTL_READ_IN5, ReadIn5),
    Reading(IOCTL_READ_IN6, ReadIn6),
    Reading(IOCTL_READ_IN8, ReadIn8),
    Reading(IOCTL_READ_IN2, ReadIn2),
    Reading(IOCTL_READ_TEMP1, ReadTemp1),
    Reading(IOCTL_READ_TEMP2, ReadTemp2),
    Reading(IOCTL_READ_TEMP3, ReadTemp3),
    Reading(IOCTL_READ_CHIP_ID, ReadChipId),
    Setting(IOCTL_SET_TEMP2_LIMIT, SetTemp2Limit),
    Setting(IOCTL_SET_TEMP3_LIMIT, SetTemp3Limit),
    Setting(IOCTL_SET_FAN_DRIVE, SetFanDrive),
    Reading(IOCTL_GET_FAN_DRIVE, ReadFanDrive),
    Setting(IOCTL_SET_FAN1_LIMIT, SetFan1Limit),
    Setting(IOCTL_SET_TEMP1_LIMIT, SetTemp1Limit),
    Setting(IOCTL_SET_IN7_LIMIT_A, SetIn7LimitA),
    Setting(IOCTL_SET_IN1_LIMIT_A, SetIn1LimitA),
    Setting(IOCTL_SET_IN2_LIMIT_A, SetIn2LimitA),
    Setting(IOCTL_SET_IN5_LIMIT_A, SetIn5LimitA),
    Setting(IOCTL_SET_IN8_LIMIT_A, SetIn8LimitA),
    Setting(IOCTL_SET_IN6_LIMIT_A, SetIn6LimitA),
    Setting(IOCTL_SET_IN7_LIMIT_B, SetIn7LimitB),
    Setting(IOCTL_SET_IN1_LIMIT_B, SetIn1LimitB),
    Setting(IOCTL_SET_IN2_LIMIT_B, SetIn2LimitB),
    Setting(IOCTL_SET_IN5_LIMIT_B, SetIn5LimitB),
    Setting(IOCTL_SET_IN8_LIMIT_B, SetIn8LimitB),
    Setting(IOCTL_SET_IN6_LIMIT_B, SetIn6LimitB),
    Request(IOCTL_NO_OPERATION, kNoOperation),
    Switch(IOCTL_ALARMS_OFF, AlarmsOff),
    Switch(IOCTL_ALARMS_ON, AlarmsOn),
    Request(IOCTL_REINIT_MONITOR, kReinitMonitor),
    BankRead(IOCTL_READ_BANK0_REG, 0),
    BankRead(IOCTL_READ_BANK1_REG, 1),
    BankRead(IOCTL_READ_BANK2_REG, 2),
    BankRead(IOCTL_READ_BANK3_REG, 3),
    BankRead(IOCTL_READ_BANK4_REG, 4),
    BankRead(IOCTL_READ_BANK5_REG, 5),
    BankRead(IOCTL_READ_BANK6_REG, 6),
    Request(IOCTL_READ_IO_REG, kIoWindowRead),
    Request(IOCTL_READ_PLL_REG, kPllRegisterRead),
    Request(IOCTL_READ_AUX_I2C_REG, kAuxRead),
};

constexpr ULONG kRequestCount = sizeof(kRequests) / sizeof(kRequests[0]);
static_assert(kRequestCount == (kLastControlCode - kFirstControlCode) / 4 + 1,
              "one row per defined code");

constexpr bool EveryRowAtItsCode() {
    for (ULONG i = 0; i < kRequestCount; ++i) {
        if (kRequests[i].code != kFirstControlCode + 4 * i) {
            return false;
        }
    }
    return true;
}
static_assert(EveryRowAtItsCode(), "each row sits at the position its code answers");

const ControlRequest* FindRequest(ULONG code) {
    if (code < kFirstControlCode || code > kLastControlCode || (code & 3) != 0) {
        return nullptr;
    }
    return &kRequests[(code - kFirstControlCode) / 4];
}

bool NeedsAdapter(RequestKind kind) {
    return kind != kAdapterInfoCopy && kind != kReinitMonitor && kind != kNoOperation;
}

// The buffered request as the dispatcher sees it.
struct Buffer {
    PVOID system;
    ULONG inputLength;
    ULONG outputLength;
    ULONG_PTR* information;

    ULONG Input() const { return *static_cast<const ULONG*>(system); }

    NTSTATUS PutBytes(const void* data, ULONG length) const {
        if (outputLength < length) {
            return STATUS_BUFFER_TOO_SMALL;
        }
        const UCHAR* from = static_cast<const UCHAR*>(data);
        UCHAR* to = static_cast<UCHAR*>(system);
        for (ULONG i = 0; i < length; ++i) {
            to[i] = from[i];
        }
        *information = length;
        return STATUS_SUCCESS;
    }
    NTSTATUS PutWord(ULONG value) const { return PutBytes(&value, sizeof(value)); }
};

void ReinitMonitor() {
    const AdapterInfo adapter = ScanAdapter();
    ChipStartup(adapter.ioBase);
}

NTSTATUS ReadingResult(LONG result, const MonitorReadings& readings, const Buffer& buffer) {
    if (result == kChipFailed) {
        return STATUS_INVALID_DEVICE_REQUEST;
    }
    return buffer.PutBytes(&readings, sizeof(readings));
}

NTSTATUS HandleControl(ULONG code, const Buffer& buffer) {
    const AdapterInfo adapter = ScanAdapter();
    const ControlRequest* request = FindRequest(code);
    if (request == nullptr) {
        // Deliberate: an undefined code is not refused; it completes with success and no output.
        return STATUS_SUCCESS;
    }
    const ULONG ioBase = adapter.ioBase;
    if (NeedsAdapter(request->kind)) {
        if (!IsSupportedAdapter(adapter.pciId)) {
            // Deliberate: an unsupported adapter is not refused either; the request does nothing.
            return STATUS_SUCCESS;
        }
        if (ioBase == kNoWindow) {
            return STATUS_INVALID_DEVICE_REQUEST;
        }
    }

    const bool inputShort = buffer.inputLength < sizeof(ULONG);
    MonitorReadings readings = {};
    switch (request->kind) {
        case kGetClockDividers: {
            if (!LockAdapter()) {
                return STATUS_INVALID_DEVICE_REQUEST;
            }
            const ULONG dividers = PllReadClockDividers(ioBase);
            UnlockAdapter();
            return buffer.PutWord(dividers);
        }
        case kSetClockDividers:
            // The register is selected for writing before the input is looked at.
            if (!LockAdapter()) {
                return STATUS_INVALID_DEVICE_REQUEST;
            }
            PllSelectClockDividersForWrite(ioBase);
            if (!inputShort) {
                PllWriteSelected(ioBase, buffer.Input());
            }
            UnlockAdapter();
            return inputShort ? STATUS_BUFFER_TOO_SMALL : STATUS_SUCCESS;
        case kAdapterInfoCopy:
            return buffer.PutBytes(&adapter, sizeof(adapter));
        case kReading:
            return ReadingResult(request->reading(ioBase, &readings), readings, buffer);
        case kBankReading:
            if (inputShort) {
                return STATUS_BUFFER_TOO_SMALL;
            }
            return ReadingResult(ReadBankRegister(ioBase, request->bank,
                                                  static_cast<UCHAR>(buffer.Input()), &readings),
                                 readings, buffer);
        case kSetting:
            if (inputShort) {
                return STATUS_BUFFER_TOO_SMALL;
            }
            return request->setting(ioBase, buffer.Input()) == kChipFailed
                       ? STATUS_INVALID_DEVICE_REQUEST
                       : STATUS_SUCCESS;
        case kAlarmSwitch:
            return request->alarmSwitch(ioBase) == kChipFailed ? STATUS_INVALID_DEVICE_REQUEST
                                                               : STATUS_SUCCESS;
        case kReinitMonitor:
            ReinitMonitor();
            return STATUS_SUCCESS;
        case kNoOperation:
            return STATUS_SUCCESS;
        case kIoWindowRead: {
            if (inputShort) {
                return STATUS_BUFFER_TOO_SMALL;
            }
            // Only the adapter's own 256-byte window may be read, never an arbitrary port.
            const ULONG offset = buffer.Input();
            if (offset > kLastIoWindowOffset) {
                return STATUS_INVALID_PARAMETER;
            }
            return buffer.PutWord(ReadIoWindow(ioBase, offset));
        }
        case kPllRegisterRead: {
            if (inputShort) {
                return STATUS_BUFFER_TOO_SMALL;
            }
            if (!LockAdapter()) {
                return STATUS_INVALID_DEVICE_REQUEST;
            }
            const ULONG value = PllReadWithIndexRestore(ioBase, static_cast<UCHAR>(buffer.Input()));
            UnlockAdapter();
            return buffer.PutWord(value);
        }
        case kAuxRead:
            if (inputShort) {
                return STATUS_BUFFER_TOO_SMALL;
            }
            return buffer.PutWord(
                static_cast<ULONG>(ReadAuxRegister(ioBase, static_cast<UCHAR>(buffer.Input()))));
    }
    return STATUS_SUCCESS;
}

NTSTATUS NTAPI DispatchCreateClose(PDEVICE_OBJECT, PIRP irp) {
    irp->IoStatus.Status = STATUS_SUCCESS;
    irp->IoStatus.Information = 0;
    IofCompleteRequest(irp, IO_NO_INCREMENT);
    return STATUS_SUCCESS;
}

NTSTATUS NTAPI DispatchDeviceControl(PDEVICE_OBJECT, PIRP irp) {
    const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    irp->IoStatus.Information = 0;
    const Buffer buffer = {
        irp->AssociatedIrp.SystemBuffer, stack->Parameters.DeviceIoControl.InputBufferLength,
        stack->Parameters.DeviceIoControl.OutputBufferLength, &irp->IoStatus.Information};
    const NTSTATUS status = HandleControl(stack->Parameters.DeviceIoControl.IoControlCode, buffer);
    if (status != STATUS_SUCCESS) {
        irp->IoStatus.Information = 0;
    }
    irp->IoStatus.Status = status;
    IofCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

NTSTATUS NTAPI DispatchPower(PDEVICE_OBJECT, PIRP irp) {
    const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (stack->MinorFunction == IRP_MN_SET_POWER &&
        stack->Parameters.Power.Type == SystemPowerState &&
        stack->Parameters.Power.State.SystemState == PowerSystemWorking) {
        ReinitMonitor();
    }
    PoStartNextPowerIrp(irp);
    // Deliberate: every power request completes as delete-pending, the resume included.
    irp->IoStatus.Status = STATUS_DELETE_PENDING;
    IofCompleteRequest(irp, IO_NO_INCREMENT);
    return STATUS_DELETE_PENDING;
}

VOID NTAPI DriverUnload(PDRIVER_OBJECT driver) {
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, KEST_LINK_NAME);
    IoDeleteSymbolicLink(&link);
    IoDeleteDevice(driver->DeviceObject);
}

}  // namespace

extern "C" NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING) {
    UNICODE_STRING deviceName;
    UNICODE_STRING linkName;
    RtlInitUnicodeString(&deviceName, KEST_DEVICE_NAME);
    RtlInitUnicodeString(&linkName, KEST_LINK_NAME);

    PDEVICE_OBJECT device = nullptr;
    const NTSTATUS created =
        IoCreateDevice(driver, 0, &deviceName, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
    if (!NT_SUCCESS(created)) {
        return created;
    }
    device->Flags |= DO_BUFFERED_IO;
    driver->DriverUnload = DriverUnload;
    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
    driver->MajorFunction[IRP_MJ_POWER] = DispatchPower;

    const NTSTATUS linked = IoCreateSymbolicLink(&linkName, &deviceName);
    if (!NT_SUCCESS(linked)) {
        // Deliberate: without its link the device goes, but the chip is still started below.
        IoDeleteDevice(device);
        device = nullptr;
    }

    KeInitializeMutex(&g_DeviceMutex, 0);
    KeInitializeMutex(&g_AdapterMutex, 0);

    const AdapterInfo adapter = ScanAdapter();
    g_AdapterId = adapter.pciId;
    if (!IsSupportedAdapter(g_AdapterId)) {
        if (NT_SUCCESS(linked)) {
            IoDeleteSymbolicLink(&linkName);
        }
        if (device != nullptr) {
            IoDeleteDevice(device);
        }
        return STATUS_INVALID_DEVICE_REQUEST;
    }

    ChipStartup(adapter.ioBase);
    // Without a window the write would wrap round to the lowest I/O ports (the DMA controller).
    if (adapter.ioBase != kNoWindow && LockAdapter()) {
        PllStartupWrite(adapter.ioBase);
        UnlockAdapter();
    }
    return linked;
}
