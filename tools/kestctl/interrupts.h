// SIGINT and SIGTERM (Ctrl+C and Ctrl+Break on a Windows console) turned into something a
// long-running command looks at between its steps: while an Interrupts object lives, they no
// longer end the process but end the current wait, and stay noted. One object at a time.
#pragma once

class Interrupts {
public:
    Interrupts();
    ~Interrupts();
    Interrupts(const Interrupts&) = delete;
    Interrupts& operator=(const Interrupts&) = delete;

    // True once a signal arrived while this object lived.
    bool Arrived() const;

    enum class Wake { kTimeout, kInterrupt, kInput };
    // Waits up to `ms` milliseconds (-1: without limit) for a signal or, when `inputFd` is not
    // -1, for something to read on it (end of file included).
    Wake Wait(int ms, int inputFd = -1) const;
};
