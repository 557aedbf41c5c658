// The I/O manager emulation: driver loading, the object namespace, handles and IRPs.
#include "host/io_manager.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "sim/port_bus.h"
#include "host/kernel_state.h"

namespace host {

namespace {

constexpr wchar_t kDosDevicesPrefix[] = L"\\dosdevices\\";
constexpr wchar_t kServiceKeyPath[] =
    L"\\Registry\\Machine\\System\\CurrentControlSet\\Services\\KestATI";

thread_local int t_completions = 0;

// The user-mode "\\.\name" form names the link "\DosDevices\name".
std::wstring LinkForUserPath(const char* userPath) {
    std::wstring path;
    for (const char* c = userPath; *c != '\0'; ++c) {
        path.push_back(static_cast<unsigned char>(*c));
    }
    const std::wstring prefix = L"\\\\.\\";
    if (path.compare(0, prefix.size(), prefix) != 0) {
        return std::wstring();
    }
    return kDosDevicesPrefix + LowerCase(path.substr(prefix.size()));
}

// Runs one IRP through the driver's dispatch routine and checks that it was completed once, as
// the kernel requires of a driver that never pends.
NTSTATUS CallDriver(PDEVICE_OBJECT device, PIRP irp, PIO_STACK_LOCATION stack) {
    stack->DeviceObject = device;
    irp->CurrentStackLocation = stack;
    irp->RequestorMode = UserMode;
    const PDRIVER_DISPATCH dispatch = Kernel().driver.MajorFunction[stack->MajorFunction];
    if (dispatch == nullptr) {
        return STATUS_INVALID_DEVICE_REQUEST;
    }
    t_completions = 0;
    const NTSTATUS status = dispatch(device, irp);
    if (t_completions != 1) {
        fprintf(stderr, "io manager: request %u completed %d times\n", stack->MajorFunction,
                t_completions);
        abort();
    }
    return status;
}

PDEVICE_OBJECT DeviceForHandle(int handle) {
    std::lock_guard<std::mutex> guard(Kernel().objects);
    auto found = Kernel().handles.find(handle);
    return found == Kernel().handles.end() ? nullptr : found->second;
}

void ForgetEverything() {
    KernelState& kernel = Kernel();
    std::lock_guard<std::mutex> guard(kernel.objects);
    kernel.objectsLeftBehind = static_cast<int>(kernel.devices.size() + kernel.links.size());
    kernel.devices.clear();
    kernel.links.clear();
    kernel.handles.clear();
    kernel.driver = DRIVER_OBJECT{};
    kernel.loaded = false;
}

}  // namespace

KernelState& Kernel() {
    static KernelState* state = new KernelState();  // lives as long as the process
    return *state;
}

std::wstring LowerCase(const std::wstring& text) {
    std::wstring lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return lower;
}

std::wstring ToWide(const UNICODE_STRING* text) {
    if (text == nullptr || text->Buffer == nullptr) {
        return std::wstring();
    }
    return std::wstring(text->Buffer, text->Length / sizeof(WCHAR));
}

void AttachPortBus(PortBus* bus) {
    Kernel().bus.store(bus);
}

PortBus* AttachedPortBus() {
    return Kernel().bus.load();
}

int32_t LoadDriver(DriverEntryRoutine entry) {
    KernelState& kernel = Kernel();
    std::unique_lock<std::shared_mutex> exclusive(kernel.driverLifetime);
    if (kernel.loaded) {
        return STATUS_OBJECT_NAME_COLLISION;
    }
    kernel.driver = DRIVER_OBJECT{};
    UNICODE_STRING registryPath;
    RtlInitUnicodeString(&registryPath, kServiceKeyPath);
    const NTSTATUS status = entry(&kernel.driver, &registryPath);
    if (!NT_SUCCESS(status)) {
        // The system unloads a driver whose entry fails; whatever it left behind goes too.
        exclusive.unlock();
        ForgetEverything();
        return status;
    }
    std::lock_guard<std::mutex> guard(kernel.objects);
    for (auto& device : kernel.devices) {
        device.second->Flags &= ~DO_DEVICE_INITIALIZING;
    }
    kernel.loaded = true;
    return status;
}

void UnloadDriver() {
    KernelState& kernel = Kernel();
    {
        std::unique_lock<std::shared_mutex> exclusive(kernel.driverLifetime);
        if (!kernel.loaded) {
            return;
        }
        if (kernel.driver.DriverUnload != nullptr) {
            kernel.driver.DriverUnload(&kernel.driver);
        }
    }
    ForgetEverything();
}

bool DriverLoaded() {
    std::lock_guard<std::mutex> guard(Kernel().objects);
    return Kernel().loaded;
}

int OpenDevice(const char* userPath, int32_t* status) {
    KernelState& kernel = Kernel();
    std::shared_lock<std::shared_mutex> shared(kernel.driverLifetime);
    PDEVICE_OBJECT device = nullptr;
    {
        std::lock_guard<std::mutex> guard(kernel.objects);
        auto link = kernel.links.find(LinkForUserPath(userPath));
        if (kernel.loaded && link != kernel.links.end()) {
            auto target = kernel.devices.find(link->second);
            if (target != kernel.devices.end()) {
                device = target->second.get();
            }
        }
    }
    if (device == nullptr) {
        *status = STATUS_OBJECT_NAME_NOT_FOUND;
        return -1;
    }
    if (device->Flags & DO_EXCLUSIVE) {
        std::lock_guard<std::mutex> guard(kernel.objects);
        for (const auto& handle : kernel.handles) {
            if (handle.second == device) {
                *status = STATUS_ACCESS_DENIED;
                return -1;
            }
        }
    }
    IRP irp{};
    IO_STACK_LOCATION stack{};
    stack.MajorFunction = IRP_MJ_CREATE;
    *status = CallDriver(device, &irp, &stack);
    if (!NT_SUCCESS(*status)) {
        return -1;
    }
    std::lock_guard<std::mutex> guard(kernel.objects);
    const int handle = kernel.nextHandle++;
    kernel.handles[handle] = device;
    return handle;
}

int32_t DeviceControl(int handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                      uint32_t outLength, uint32_t* information) {
    *information = 0;
    std::shared_lock<std::shared_mutex> shared(Kernel().driverLifetime);
    PDEVICE_OBJECT device = DeviceForHandle(handle);
    if (device == nullptr) {
        return STATUS_INVALID_HANDLE;
    }
    // METHOD_BUFFERED: one system buffer for both directions, as large as the larger of the two.
    std::vector<uint8_t> system(std::max(inLength, outLength));
    if (inLength > 0 && in != nullptr) {
        std::copy_n(static_cast<const uint8_t*>(in), inLength, system.begin());
    }
    IRP irp{};
    irp.AssociatedIrp.SystemBuffer = system.empty() ? nullptr : system.data();
    IO_STACK_LOCATION stack{};
    stack.MajorFunction = IRP_MJ_DEVICE_CONTROL;
    stack.Parameters.DeviceIoControl.IoControlCode = code;
    stack.Parameters.DeviceIoControl.InputBufferLength = inLength;
    stack.Parameters.DeviceIoControl.OutputBufferLength = outLength;
    const NTSTATUS status = CallDriver(device, &irp, &stack);
    const uint32_t returned =
        static_cast<uint32_t>(std::min<ULONG_PTR>(irp.IoStatus.Information, outLength));
    if (returned > 0 && out != nullptr) {
        std::copy_n(system.begin(), returned, static_cast<uint8_t*>(out));
    }
    *information = returned;
    return status;
}

int32_t CloseDevice(int handle) {
    std::shared_lock<std::shared_mutex> shared(Kernel().driverLifetime);
    PDEVICE_OBJECT device = DeviceForHandle(handle);
    if (device == nullptr) {
        return STATUS_INVALID_HANDLE;
    }
    IRP irp{};
    IO_STACK_LOCATION stack{};
    stack.MajorFunction = IRP_MJ_CLOSE;
    const NTSTATUS status = CallDriver(device, &irp, &stack);
    std::lock_guard<std::mutex> guard(Kernel().objects);
    Kernel().handles.erase(handle);
    return status;
}

int32_t SendPowerRequest(uint8_t minorFunction, int type, int state) {
    std::shared_lock<std::shared_mutex> shared(Kernel().driverLifetime);
    PDEVICE_OBJECT device = nullptr;
    {
        std::lock_guard<std::mutex> guard(Kernel().objects);
        if (!Kernel().loaded || Kernel().driver.DeviceObject == nullptr) {
            return STATUS_OBJECT_NAME_NOT_FOUND;
        }
        device = Kernel().driver.DeviceObject;
    }
    IRP irp{};
    IO_STACK_LOCATION stack{};
    stack.MajorFunction = IRP_MJ_POWER;
    stack.MinorFunction = minorFunction;
    stack.Parameters.Power.Type = static_cast<POWER_STATE_TYPE>(type);
    stack.Parameters.Power.State.SystemState = static_cast<SYSTEM_POWER_STATE>(state);
    return CallDriver(device, &irp, &stack);
}

int32_t SendSystemWorkingPower() {
    return SendPowerRequest(IRP_MN_SET_POWER, SystemPowerState, PowerSystemWorking);
}

int OpenHandleCount() {
    std::lock_guard<std::mutex> guard(Kernel().objects);
    return static_cast<int>(Kernel().handles.size());
}

void InjectCreateDeviceFailure(int32_t status) {
    Kernel().createDeviceFailure = status;
}
void InjectCreateLinkFailure(int32_t status) {
    Kernel().createLinkFailure = status;
}
void InjectMutexWaitFailure(int32_t status) {
    Kernel().mutexWaitFailure = status;
}
void InjectDelayFailure(int32_t status) {
    Kernel().delayFailure = status;
}

KernelCounters Counters() {
    const KernelState& kernel = Kernel();
    return {kernel.delayCalls.load(),    kernel.startNextPowerIrpCalls.load(),
            kernel.completions.load(),   kernel.lastDelayInterval.load(),
            kernel.lastDelayMode.load(), kernel.lastDelayAlertable.load()};
}

int ObjectsLeftBehind() {
    return Kernel().objectsLeftBehind.load();
}

void ResetCounters() {
    {
        std::lock_guard<std::mutex> guard(Kernel().mutexTable);
        Kernel().mutexAcquisitions.clear();
    }
    Kernel().delayCalls = 0;
    Kernel().startNextPowerIrpCalls = 0;
    Kernel().completions = 0;
}

}  // namespace host

// The I/O manager's own routines that the driver calls.

NTSTATUS NTAPI IoCreateDevice(PDRIVER_OBJECT driver, ULONG extensionSize, PUNICODE_STRING name,
                              ULONG deviceType, ULONG characteristics, BOOLEAN exclusive,
                              PDEVICE_OBJECT* device) {
    host::KernelState& kernel = host::Kernel();
    if (const int32_t injected = kernel.createDeviceFailure.exchange(0)) {
        return injected;
    }
    if (extensionSize != 0) {
        return STATUS_INSUFFICIENT_RESOURCES;  // this host keeps no device extensions
    }
    std::lock_guard<std::mutex> guard(kernel.objects);
    const std::wstring key = host::LowerCase(host::ToWide(name));
    if (kernel.devices.count(key) != 0) {
        return STATUS_OBJECT_NAME_COLLISION;
    }
    auto object = std::make_unique<DEVICE_OBJECT>();
    object->DriverObject = driver;
    object->DeviceType = deviceType;
    object->Characteristics = characteristics;
    object->Flags = DO_DEVICE_INITIALIZING | (exclusive ? DO_EXCLUSIVE : 0);
    object->NextDevice = driver->DeviceObject;
    driver->DeviceObject = object.get();
    *device = object.get();
    kernel.devices[key] = std::move(object);
    return STATUS_SUCCESS;
}

VOID NTAPI IoDeleteDevice(PDEVICE_OBJECT device) {
    host::KernelState& kernel = host::Kernel();
    std::lock_guard<std::mutex> guard(kernel.objects);
    PDRIVER_OBJECT driver = device->DriverObject;
    for (PDEVICE_OBJECT* link = &driver->DeviceObject; *link != nullptr;
         link = &(*link)->NextDevice) {
        if (*link == device) {
            *link = device->NextDevice;
            break;
        }
    }
    for (auto it = kernel.handles.begin(); it != kernel.handles.end();) {
        it = it->second == device ? kernel.handles.erase(it) : std::next(it);
    }
    for (auto it = kernel.devices.begin(); it != kernel.devices.end(); ++it) {
        if (it->second.get() == device) {
            kernel.devices.erase(it);
            break;
        }
    }
}

NTSTATUS NTAPI IoCreateSymbolicLink(PUNICODE_STRING linkName, PUNICODE_STRING deviceName) {
    host::KernelState& kernel = host::Kernel();
    if (const int32_t injected = kernel.createLinkFailure.exchange(0)) {
        return injected;
    }
    std::lock_guard<std::mutex> guard(kernel.objects);
    const std::wstring link = host::LowerCase(host::ToWide(linkName));
    if (kernel.links.count(link) != 0) {
        return STATUS_OBJECT_NAME_COLLISION;
    }
    kernel.links[link] = host::LowerCase(host::ToWide(deviceName));
    return STATUS_SUCCESS;
}

NTSTATUS NTAPI IoDeleteSymbolicLink(PUNICODE_STRING linkName) {
    host::KernelState& kernel = host::Kernel();
    std::lock_guard<std::mutex> guard(kernel.objects);
    return kernel.links.erase(host::LowerCase(host::ToWide(linkName))) != 0
               ? STATUS_SUCCESS
               : STATUS_OBJECT_NAME_NOT_FOUND;
}

VOID NTAPI IofCompleteRequest(PIRP, CCHAR) {
    ++host::t_completions;
    ++host::Kernel().completions;
}
