// Assembles one request frame from whatever pieces the client's stream delivers, and judges its
// header before any of it reaches the driver.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "protocol/frame.h"

namespace host {

class FrameReader {
public:
    enum class Status { kNeedMore, kComplete, kBadMagic, kTooLong };

    // Bytes the frame still needs (0 once it is complete or refused). The reader never asks for
    // more than its frame, so nothing that follows a frame is consumed.
    size_t Missing() const;

    // Takes the first min(length, Missing()) bytes of `data`; returns how many it took.
    size_t Take(const uint8_t* data, size_t length);

    Status State() const { return m_status; }
    bool Started() const { return m_headBytes > 0; }
    // Valid once the header is in (any status but kNeedMore, or more than a header's bytes).
    const RequestHeader& Header() const { return m_header; }
    // The input bytes that follow the header; complete once State() is kComplete.
    const uint8_t* Input() const { return m_input.data(); }

private:
    // The header in place; the input, which most requests do not have, on the heap.
    uint8_t m_head[kRequestHeaderSize] = {};
    size_t m_headBytes = 0;
    std::vector<uint8_t> m_input;
    RequestHeader m_header{};
    Status m_status = Status::kNeedMore;
};

}  // namespace host
