#include <vector>

#include "tools/kestctl/command_support.h"
#include "tools/kestctl/commands.h"
#include "tools/kestctl/readings.h"

int ReadJson(std::string* out, std::string* err) {
    if (!DeviceReachable(err)) {
        return 1;
    }
    WatchedBoard board = IdentifyBoard();
    std::vector<ItemSample> samples;
    std::vector<OtherSample> others;
    if (!SampleBoard(board, &samples) || !SampleOtherReadings(board, &others)) {
        *err += "kestctl: the device stopped answering\n";
        return 1;
    }
    *out +=
        Format("{\"adapter\":\"0x%08X\",\"subsystem\":\"0x%08X\",\"readings\":", board.nAdapterId,
               board.nSubsystemId) +
        ReadingsJson(board, samples, others) + "}\n";
    return 0;
}
