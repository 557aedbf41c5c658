// The clock settings file "kest.txt" in the current directory (resolved at every use): 8 bytes,
// the engine clock then the real memory clock, each a signed 32-bit little-endian MHz value.
// Every reader and writer of the program goes through these two functions. Qt-free.
#pragma once

#include <stdint.h>

inline constexpr const char* kClockFileName = "kest.txt";

struct StoredClocks {
    bool bOpened;      // false: the file could not be opened for update (missing, a directory, ...)
    bool bHaveEngine;  // the engine field was all there
    bool bHaveMemory;  // the memory field was all there
    int32_t nEngine;
    int32_t nMemory;
};

// Gives the file's owner write permission when the file exists, so that a read-only copy can
// be rewritten; the result is of no interest.
void MakeClockFileWritable();

// Makes the file writable, opens it for update without creating it and reads both fields.
StoredClocks ReadClockFile();

// Makes the file writable and replaces its whole content with the two fields: through a
// temporary file in the same directory renamed over it, or, when no temporary file can be made
// there, in place. False when nothing could be written.
bool WriteClockFile(int32_t nEngine, int32_t nMemory);
