// How the device client reaches the driver's device. One transport is chosen per process: the
// Unix socket of kestatid on Linux, the Win32 device calls on Windows, or the I/O manager
// emulation inside the process for tests. Each mirrors the open / one request / close shape of
// CreateFileA, DeviceIoControl and CloseHandle.
#pragma once

#include <stdint.h>

#include <string>

using DeviceHandle = intptr_t;
constexpr DeviceHandle kInvalidDeviceHandle = -1;

class DeviceTransport {
public:
    virtual ~DeviceTransport() = default;

    // Opens "\\.\kestati". Returns kInvalidDeviceHandle when the device cannot be opened; `why`
    // (may be null) then receives a short reason.
    virtual DeviceHandle Open(const char** why) = 0;

    // Sends one request. Returns false when no completion came back at all (the connection
    // broke); otherwise true with the completion status and Information count, and the returned
    // bytes (at most outLength) in out.
    virtual bool Control(DeviceHandle handle, uint32_t code, const void* in, uint32_t inLength,
                         void* out, uint32_t outLength, uint32_t* status,
                         uint32_t* information) = 0;

    virtual void Close(DeviceHandle handle) = 0;
};

// The transport of this process: the one installed by SetDeviceTransport, else the platform's
// own (socket on Linux, Win32 on Windows). Install before the first device call; the transport
// must outlive every call.
DeviceTransport& CurrentDeviceTransport();
void SetDeviceTransport(DeviceTransport* transport);

// The platform's own transport.
DeviceTransport& PlatformDeviceTransport();

// Names a simulated board (as `kestatid --list-boards` prints them) on which a program hosts the
// driver in its own process instead of opening the device.
constexpr const char kSimulateBoardEnv[] = "KESTATI_SIMULATE";

// Hosts the driver on the named simulated board in this process and returns the transport that
// reaches it; null, with `error` naming the boards there are, when no board has that name.
using SimulatedBoardHost = DeviceTransport* (*)(const char* board, std::string* error);

// Chooses this process's transport once, at start: with KESTATI_SIMULATE set (and not empty),
// the driver hosted by `host` on that board; otherwise the platform's own. Returns false, with
// `error` set, when the board is unknown: a fatal condition for the program.
bool SelectDeviceTransport(SimulatedBoardHost host, std::string* error);

#ifndef _WIN32
#include "common/device_socket.h"  // DeviceSocketPath(), which the socket transport opens
#endif
