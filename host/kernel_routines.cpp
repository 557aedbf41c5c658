// The kernel routines the driver calls, implemented for the Linux host.
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <cwchar>
#include <thread>

#include "sim/port_bus.h"
#include "host/kernel_state.h"

using host::Kernel;

namespace {

// A stable per-thread identity for mutex ownership.
thread_local char t_threadTag;

int32_t TakeInjected(std::atomic<int32_t>& slot) {
    return slot.exchange(0);
}

std::recursive_mutex* HostLockOf(const void* mutex, bool acquiring) {
    std::lock_guard<std::mutex> guard(Kernel().mutexTable);
    auto found = Kernel().mutexes.find(mutex);
    if (found == Kernel().mutexes.end()) {
        fprintf(stderr, "kernel: wait on a mutex that was never initialised\n");
        abort();
    }
    if (acquiring) {
        ++Kernel().mutexAcquisitions[mutex];
    }
    return found->second.get();
}

PortBus* Bus() {
    return Kernel().bus.load();
}

}  // namespace

VOID NTAPI RtlInitUnicodeString(PUNICODE_STRING destination, PCWSTR source) {
    destination->Buffer = const_cast<PWSTR>(source);
    const size_t length = source == nullptr ? 0 : wcslen(source) * sizeof(WCHAR);
    destination->Length = static_cast<USHORT>(length);
    destination->MaximumLength =
        static_cast<USHORT>(source == nullptr ? 0 : length + sizeof(WCHAR));
}

VOID NTAPI KeInitializeMutex(PKMUTEX mutex, ULONG) {
    std::lock_guard<std::mutex> guard(Kernel().mutexTable);
    Kernel().mutexes[mutex] = std::make_unique<std::recursive_mutex>();
    mutex->Owner = nullptr;
    mutex->RecursionCount = 0;
    mutex->HostLock = Kernel().mutexes[mutex].get();
}

NTSTATUS NTAPI KeWaitForSingleObject(PVOID object, KWAIT_REASON, KPROCESSOR_MODE, BOOLEAN,
                                     PLARGE_INTEGER) {
    if (const int32_t injected = TakeInjected(Kernel().mutexWaitFailure)) {
        return injected;
    }
    PKMUTEX mutex = static_cast<PKMUTEX>(object);
    HostLockOf(mutex, true)->lock();
    mutex->Owner = &t_threadTag;
    ++mutex->RecursionCount;
    return STATUS_SUCCESS;
}

LONG NTAPI KeReleaseMutex(PKMUTEX mutex, BOOLEAN) {
    if (mutex->Owner != &t_threadTag || mutex->RecursionCount <= 0) {
        // The kernel stops the machine for this; a driver bug must not pass unnoticed here either.
        fprintf(stderr, "kernel: mutex released by a thread that does not own it\n");
        abort();
    }
    const LONG previous = mutex->RecursionCount;
    if (--mutex->RecursionCount == 0) {
        mutex->Owner = nullptr;
    }
    HostLockOf(mutex, false)->unlock();
    return previous;
}

NTSTATUS NTAPI KeDelayExecutionThread(KPROCESSOR_MODE mode, BOOLEAN alertable,
                                      PLARGE_INTEGER interval) {
    ++Kernel().delayCalls;
    Kernel().lastDelayInterval = interval->QuadPart;
    Kernel().lastDelayMode = mode;
    Kernel().lastDelayAlertable = alertable != FALSE;
    if (const int32_t injected = TakeInjected(Kernel().delayFailure)) {
        return injected;
    }
    // A positive interval is an absolute time; every such time has long passed.
    if (interval->QuadPart < 0) {
        std::this_thread::sleep_for(std::chrono::nanoseconds(-interval->QuadPart * 100));
    }
    return STATUS_SUCCESS;
}

VOID NTAPI PoStartNextPowerIrp(PIRP) {
    ++Kernel().startNextPowerIrpCalls;
}

// With nothing attached the bus floats high, as an empty slot reads on a PC.
UCHAR NTAPI READ_PORT_UCHAR(PUCHAR port) {
    PortBus* bus = Bus();
    return bus ? bus->ReadPort8(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(port))) : 0xFF;
}

ULONG NTAPI READ_PORT_ULONG(PULONG port) {
    PortBus* bus = Bus();
    return bus ? bus->ReadPort32(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(port)))
               : 0xFFFFFFFF;
}

VOID NTAPI WRITE_PORT_UCHAR(PUCHAR port, UCHAR value) {
    if (PortBus* bus = Bus()) {
        bus->WritePort8(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(port)), value);
    }
}

VOID NTAPI WRITE_PORT_ULONG(PULONG port, ULONG value) {
    if (PortBus* bus = Bus()) {
        bus->WritePort32(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(port)), value);
    }
}

namespace host {

bool MutexOwnedByCurrentThread(const void* mutex) {
    return static_cast<const KMUTEX*>(mutex)->Owner == &t_threadTag;
}

uint64_t MutexAcquisitions(const void* mutex) {
    std::lock_guard<std::mutex> guard(Kernel().mutexTable);
    auto found = Kernel().mutexAcquisitions.find(mutex);
    return found == Kernel().mutexAcquisitions.end() ? 0 : found->second;
}

int MutexDepth(const void* mutex) {
    return static_cast<const KMUTEX*>(mutex)->RecursionCount;
}

}  // namespace host
