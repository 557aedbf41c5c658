// The KestATI driver's entry point in the shape the I/O manager emulation loads.
#pragma once

#include "host/io_manager.h"

namespace host {
DriverEntryRoutine KestatiDriverEntry();
}
