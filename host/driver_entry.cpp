// Kept apart so that the kernel headers stay out of the service's own code.
#include "host/driver_entry.h"

#include "driver/kestati.h"

namespace host {

DriverEntryRoutine KestatiDriverEntry() {
    // The emulation passes its own driver object and registry path through the opaque pointers.
    return reinterpret_cast<DriverEntryRoutine>(&DriverEntry);
}

}  // namespace host
