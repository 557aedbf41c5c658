// The in-process face of the I/O manager emulation: load a driver the way the system does, open
// its device by user-mode name, send device-control requests, close, unload, deliver power
// requests. Tests, the socket server and the in-process device transport call this; the driver
// itself sees only the kernel routines of driver/platform.
#pragma once

#include <stdint.h>

class PortBus;

namespace host {

// DriverEntry as the driver exports it. The kernel types stay behind this opaque signature so
// that callers need not include the kernel headers.
using DriverEntryRoutine = int32_t (*)(void* driverObject, void* registryPath);

// Where READ_PORT_* / WRITE_PORT_* go. Must be set before a driver is loaded.
void AttachPortBus(PortBus* bus);
PortBus* AttachedPortBus();

// Calls DriverEntry with a fresh driver object and the service's registry path. On failure the
// driver is not loaded and every device or link it created has been removed again.
int32_t LoadDriver(DriverEntryRoutine entry);
// Calls the driver's unload routine (when it has one) and forgets the driver.
void UnloadDriver();
bool DriverLoaded();

// Opens a device through its user-mode name ("\\.\kestati", case-insensitive) by resolving the
// "\DosDevices\" link and sending IRP_MJ_CREATE. Returns a handle (>= 0) or -1 with *status set
// (STATUS_OBJECT_NAME_NOT_FOUND when no such link exists).
int OpenDevice(const char* userPath, int32_t* status);

// Sends one IRP_MJ_DEVICE_CONTROL with a METHOD_BUFFERED system buffer of max(inLength,
// outLength) bytes. Copies Information bytes (at most outLength) back to out.
int32_t DeviceControl(int handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                      uint32_t outLength, uint32_t* information);

// Sends IRP_MJ_CLOSE and forgets the handle.
int32_t CloseDevice(int handle);

// Sends IRP_MN_SET_POWER for the system working state to the driver's device (as the system
// does on resume). Returns the status the driver completed it with.
int32_t SendSystemWorkingPower();

// Sends any IRP_MJ_POWER request (minor function, power state type, state value).
int32_t SendPowerRequest(uint8_t minorFunction, int type, int state);

// Number of open handles, for tests that check nothing leaks.
int OpenHandleCount();

// Failures the kernel can produce that a test cannot otherwise provoke. Each applies to the next
// matching call only.
void InjectCreateDeviceFailure(int32_t status);
void InjectCreateLinkFailure(int32_t status);
void InjectMutexWaitFailure(int32_t status);
void InjectDelayFailure(int32_t status);

// What the kernel saw, for tests.
struct KernelCounters {
    uint64_t delayCalls;
    uint64_t startNextPowerIrpCalls;
    uint64_t completions;
    // Arguments of the last KeDelayExecutionThread call (mode -1 before the first).
    int64_t lastDelayInterval;
    int lastDelayMode;
    bool lastDelayAlertable;
};
KernelCounters Counters();
void ResetCounters();
// True when the calling thread owns the kernel mutex at `mutex` (a KMUTEX*).
bool MutexOwnedByCurrentThread(const void* mutex);
// Times the kernel mutex at `mutex` was acquired since the last ResetCounters().
uint64_t MutexAcquisitions(const void* mutex);
// Recursion depth of the kernel mutex at `mutex` (0 when free).
int MutexDepth(const void* mutex);
// Devices and links the driver had not deleted when its failed entry or its unload routine
// returned (the host removes them; a real system would keep them until reboot).
int ObjectsLeftBehind();

}  // namespace host
