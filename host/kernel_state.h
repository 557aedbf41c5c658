// State shared by the emulated I/O manager and the emulated kernel routines.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "driver/platform/kernel.h"

class PortBus;

namespace host {

struct KernelState {
    // Guards the object namespace, the driver object and the handle table.
    std::mutex objects;
    // Requests hold this shared; loading and unloading hold it exclusively.
    std::shared_mutex driverLifetime;

    std::atomic<PortBus*> bus{nullptr};
    DRIVER_OBJECT driver{};
    bool loaded = false;
    std::map<std::wstring, std::unique_ptr<DEVICE_OBJECT>> devices;  // lower-case names
    std::map<std::wstring, std::wstring> links;                      // lower-case both sides
    std::map<int, PDEVICE_OBJECT> handles;
    int nextHandle = 1;

    // Kernel mutexes by address; each is a recursive host lock.
    std::mutex mutexTable;
    std::map<const void*, std::unique_ptr<std::recursive_mutex>> mutexes;
    std::map<const void*, uint64_t> mutexAcquisitions;  // guarded by mutexTable

    std::atomic<int32_t> createDeviceFailure{0};
    std::atomic<int32_t> createLinkFailure{0};
    std::atomic<int32_t> mutexWaitFailure{0};
    std::atomic<int32_t> delayFailure{0};

    std::atomic<uint64_t> delayCalls{0};
    std::atomic<uint64_t> startNextPowerIrpCalls{0};
    std::atomic<uint64_t> completions{0};
    // The arguments of the last KeDelayExecutionThread call.
    std::atomic<int64_t> lastDelayInterval{0};
    std::atomic<int> lastDelayMode{-1};
    std::atomic<bool> lastDelayAlertable{false};
    // Devices and links still present when a failed entry or the unload routine returned.
    std::atomic<int> objectsLeftBehind{0};
};

KernelState& Kernel();

std::wstring LowerCase(const std::wstring& text);
std::wstring ToWide(const UNICODE_STRING* text);

}  // namespace host
