// The kernel surface the driver is written against. On Windows this is the DDK's <ntddk.h>; on
// Linux it is the emulation in linux/ntddk.h, which declares exactly the subset the driver uses
// and is implemented by the host's I/O manager emulation.
#pragma once

#ifdef _WIN32
// mingw's intrinsic headers already define these two; keep the DDK from defining them again.
#define __INTRINSIC_DEFINED_InterlockedBitTestAndSet
#define __INTRINSIC_DEFINED_InterlockedBitTestAndReset
#include <ntddk.h>
#else
#include "driver/platform/linux/ntddk.h"
#endif
