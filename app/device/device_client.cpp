#include "app/device/device_client.h"

#include <string.h>

#include "app/device/device_transport.h"
#include "protocol/frame.h"
#include "protocol/ioctl.h"

namespace {

// One open, one request, one close. Output buffers start zeroed: a request that succeeds
// without filling them (an unsupported adapter completes with nothing done) then reads 0
// instead of whatever the stack held.
// `filled` (may be null) receives the Information count of a completed request.
ReadingOutcome Exchange(uint32_t code, const void* in, uint32_t inLength, void* out,
                        uint32_t outLength, uint32_t* filled) {
    DeviceTransport& transport = CurrentDeviceTransport();
    DeviceHandle handle = transport.Open(nullptr);
    if (handle == kInvalidDeviceHandle) {
        return ReadingOutcome::kNoDevice;
    }
    uint32_t status = 0;
    uint32_t information = 0;
    bool replied =
        transport.Control(handle, code, in, inLength, out, outLength, &status, &information);
    transport.Close(handle);
    if (!replied) {
        return ReadingOutcome::kNoDevice;
    }
    if (filled != nullptr) {
        *filled = information;
    }
    return StatusSucceeded(status) ? ReadingOutcome::kValue : ReadingOutcome::kFailed;
}

bool Transact(uint32_t code, const void* in, uint32_t inLength, void* out, uint32_t outLength) {
    return Exchange(code, in, inLength, out, outLength, nullptr) == ReadingOutcome::kValue;
}

uint32_t PickReading(uint32_t code, const MonitorReadings& r) {
    switch (code) {
        case IOCTL_READ_FAN1:
            return r.fan1Rpm;
        case IOCTL_READ_IN1:
            return r.in1;
        case IOCTL_READ_IN7:
            return r.in7;
        case IOCTL_READ_IN5:
            return r.in5;
        case IOCTL_READ_IN6:
            return r.in6;
        case IOCTL_READ_IN8:
            return r.in8;
        case IOCTL_READ_IN2:
            return r.in2;
        case IOCTL_READ_TEMP1:
            return r.temp1;
        case IOCTL_READ_TEMP2:
            return r.temp2;
        case IOCTL_READ_TEMP3:
            return r.temp3;
        case IOCTL_READ_CHIP_ID:
            return r.chipId;
        case IOCTL_GET_FAN_DRIVE:
            return r.regValue;
        default:
            return 0;
    }
}

uint32_t PickAdapterField(uint32_t selector, const AdapterInfo& a) {
    switch (selector) {
        case 1:
            return a.apertureBase;
        case 2:
            return a.apertureSizeMB;
        case 3:
            return a.pciId;
        case 4:
            return a.ioBase;
        case 5:
            return a.agpRate;
        case 6:
            return a.agpVersion;
        case 7:
            return a.subsystemId;
        default:
            return 0;
    }
}

}  // namespace

uint32_t QueryDriverReading(uint32_t code) {
    MonitorReadings readings;
    memset(&readings, 0, sizeof readings);
    if (!Transact(code, nullptr, 0, &readings, sizeof readings)) {
        return 0;
    }
    return PickReading(code, readings);
}

ReadingOutcome QueryDriverReadingOutcome(uint32_t code, uint32_t* value) {
    MonitorReadings readings;
    memset(&readings, 0, sizeof readings);
    uint32_t filled = 0;
    ReadingOutcome outcome = Exchange(code, nullptr, 0, &readings, sizeof readings, &filled);
    if (outcome != ReadingOutcome::kValue) {
        return outcome;
    }
    // A completion without the record (an adapter that vanished) carries no reading.
    if (filled < sizeof readings) {
        return ReadingOutcome::kFailed;
    }
    *value = PickReading(code, readings);
    return ReadingOutcome::kValue;
}

uint32_t SendDriverValue(uint32_t code, uint32_t value) {
    return Transact(code, &value, sizeof value, nullptr, 0) ? 1 : 0;
}

uint32_t ReadClockDividers() {
    uint32_t word = 0;
    if (!Transact(IOCTL_GET_CLOCK_DIVIDERS, nullptr, 0, &word, sizeof word)) {
        word = 0;
    }
    return word;
}

uint32_t WriteClockDividers(uint32_t value) {
    return SendDriverValue(IOCTL_SET_CLOCK_DIVIDERS, value);
}

uint32_t QueryAdapterInfo(uint32_t selector) {
    AdapterInfo info;
    memset(&info, 0, sizeof info);
    if (!Transact(IOCTL_GET_ADAPTER_INFO, nullptr, 0, &info, sizeof info)) {
        return 0;
    }
    return PickAdapterField(selector, info);
}

uint32_t ReadPllRegister(uint32_t index) {
    uint32_t word = 0;
    if (!Transact(IOCTL_READ_PLL_REG, &index, sizeof index, &word, sizeof word)) {
        return 0;
    }
    return word;
}
