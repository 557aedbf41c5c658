// The live control of a simulated board: one command line in, the answer's text out.
//
//   chip absent|present      the monitor chip (and everything behind it) leaves or rejoins the bus
//   fan stall|run            the fan stops turning whatever its drive, or follows it again
//   pin SENSOR VALUE         the chip reports VALUE (RPM, millivolts or whole degrees C)
//   unpin SENSOR             the chip measures SENSOR again
//   adapter remove|insert    the adapter's configuration space reads all ones, or comes back
//   iobar missing|present    the adapter's I/O BAR reads all ones, or its address again
//   engine stuck|free        the adapter's I2C engine answers busy for ever, or works again
//   ambient DEGREES          extra ambient heat on top of the board's rise
//   state                    key=value lines: clocks, fan, bank, PLL index, beeper, every sensor
//
// Answers end with a newline: "ok", the state lines, or "error: ..." for a bad command.
#pragma once

#include <string>

namespace sim {
class Machine;
}

namespace host {
std::string RunSimCommand(sim::Machine& machine, const std::string& line);
}
