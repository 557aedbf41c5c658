// The driver hosted in this process on a simulated board, for a program started with
// KESTATI_SIMULATE: the way to try the programs, and to test the Windows builds, without the
// adapter or the service.
#pragma once

#include <string>

#include "app/device/device_transport.h"

namespace host {

// Builds the named board on a real-time clock, loads the driver on it and returns the transport
// that reaches its device; both stay for the rest of the process. Null, with `error` naming the
// boards there are, for an unknown name or a driver that does not load. Later calls return the
// first board's transport.
DeviceTransport* HostOnSimulatedBoard(const char* board, std::string* error);

}  // namespace host
