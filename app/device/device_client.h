// The program's only way to the driver: one open, one request, one close per call, one number
// back. 0 doubles as the failure result of every function.
#pragma once

#include <stdint.h>

// Sends `code` with a MonitorReadings output buffer and returns the field that belongs to it.
uint32_t QueryDriverReading(uint32_t code);

// The same request for callers that must tell a failure from a reading of 0: the value, a
// request the driver failed or left unfilled, or no device that answered at all.
enum class ReadingOutcome { kValue, kFailed, kNoDevice };
// Sets *value only for kValue.
ReadingOutcome QueryDriverReadingOutcome(uint32_t code, uint32_t* value);
// Sends `code` with `value` as input; 1 when the request succeeded, else 0.
uint32_t SendDriverValue(uint32_t code, uint32_t value);
// PLL register 0x0A (the clock divider word).
uint32_t ReadClockDividers();
uint32_t WriteClockDividers(uint32_t value);
// Field `selector` (1..7) of AdapterInfo.
uint32_t QueryAdapterInfo(uint32_t selector);
uint32_t ReadPllRegister(uint32_t index);
