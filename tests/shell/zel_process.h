// Starts the real zel binary offscreen in a state directory, with its standard error going to
// the descriptor given. The service's paths come from the environment (KESTATI_DEVICE, ...).
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace kesttest {

inline pid_t SpawnZel(const std::string& dir, int stderrFd, bool bReportFirstPaint = false) {
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(stderrFd, 2);
        if (chdir(dir.c_str()) != 0) {
            _exit(127);
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (bReportFirstPaint) {
            setenv("ZEL_REPORT_FIRST_PAINT", "1", 1);
        }
        execl(ZEL_PATH, "zel", static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

}  // namespace kesttest
