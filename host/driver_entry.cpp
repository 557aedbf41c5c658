// Kept apart so that the kernel headers stay out of the service's own code.
#include "host/driver_entry.h"

#include "driver/kestati.h"

namespace host {

namespace {

// The emulation passes its own driver object and registry path through the opaque pointers.
int32_t EnterKestati(void* driverObject, void* registryPath) {
    return DriverEntry(static_cast<PDRIVER_OBJECT>(driverObject),
                       static_cast<PUNICODE_STRING>(registryPath));
}

}  // namespace

DriverEntryRoutine KestatiDriverEntry() {
    return &EnterKestati;
}

}  // namespace host
