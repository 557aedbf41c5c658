// The kernel surface the driver is written against. In KestATI.sys (built with KEST_KERNEL_MODE)
// this is the DDK's <ntddk.h>; wherever the driver is hosted in a process (kestatid, the tests,
// a program on a simulated board, on Linux and on Windows alike) it is the emulation in
// linux/ntddk.h, which declares exactly the subset the driver uses and is implemented by the
// host's I/O manager emulation.
#pragma once

#ifdef KEST_KERNEL_MODE
// mingw's intrinsic headers already define these two; keep the DDK from defining them again.
#define __INTRINSIC_DEFINED_InterlockedBitTestAndSet
#define __INTRINSIC_DEFINED_InterlockedBitTestAndReset
#include <ntddk.h>
#else
#include "driver/platform/linux/ntddk.h"
#endif
