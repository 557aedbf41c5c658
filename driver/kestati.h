// The KestATI driver's entry point and the little state it keeps between requests.
#pragma once

#include "driver/platform/kernel.h"

extern "C" NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT DriverObject, PUNICODE_STRING RegistryPath);

// Serialises every I2C transaction on the adapter; nothing else takes it.
extern KMUTEX g_DeviceMutex;
// PCI id word of the adapter found at load; selects the I2C engine variant.
extern ULONG g_AdapterId;
