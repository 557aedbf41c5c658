// BoardSession: what the program does with the board outside its windows. At start it identifies
// the board, reads the fan settings and puts the stored clocks back (clamped into the board's
// start-up window); it sets the fan drive, runs the fan guard's checks, re-applies everything
// after a resume and switches the alarms off at the end. The frame owns one and decides only
// what the windows do (the main dialog, the guard's timer, the colours).
#pragma once

#include <stdint.h>

class BoardSession {
public:
    enum class Clocks {
        kApplied,  // the stored clocks are in the hardware (or the board has none to set)
        kNoFile,   // nothing stored yet: the main dialog programs the defaults and stores them
    };

    // Identifies the board and applies the stored clocks. A board that cannot be reached or
    // tuned ends the program (box, exit code 1).
    Clocks Start();
    // The stored clocks into the hardware; not for the RADEON 9200, which keeps its own.
    Clocks ApplyStoredClocks();
    // The fan drive the settings ask for (full drive without fan control); true when the fan
    // guard is to run.
    bool ApplyFanSettings();
    // One check of the fan guard: a temperature out of range, confirmed by a second reading,
    // trips it (full drive, latched until the next start). True when it tripped now.
    bool CheckFanGuard();
    // After a resume: the monitor chip re-initialised, alarms off, the stored clocks again and
    // the Fan4Temp setting read anew. The fan drive follows with ApplyFanSettings.
    Clocks Resume();
    // The program ends: the board's alarms off.
    void End();
};
