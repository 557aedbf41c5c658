// kestctl, the command-line client of the KestATI device. The whole program is this function so
// that tests can run it in-process.
#pragma once

#include <string>

// Where kestctl writes and where it reads answers from. The program writes each piece to its
// standard streams at once (watch streams its lines, "keep?" waits for the user); tests collect
// the text and may feed answers through a descriptor.
class KestctlIo {
public:
    virtual ~KestctlIo() = default;
    virtual void Out(const std::string& text) = 0;
    virtual void Err(const std::string& text) = 0;
    // The descriptor answers come from; -1 when there is nobody to ask.
    virtual int Input() const = 0;
    // How long a question waits for its answer.
    virtual int AnswerTimeoutMs() const { return 10000; }
};

// Returns the exit code: 0 done, 1 the device (or the board's control socket) cannot be reached
// or the request was not answered, 2 bad arguments, 3 new clocks not kept.
int RunKestctl(int argc, const char* const* argv, KestctlIo& io);

// The same with everything collected in `out` and `err`, and nobody to ask.
int RunKestctl(int argc, const char* const* argv, std::string* out, std::string* err);
