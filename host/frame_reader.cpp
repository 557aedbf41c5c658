#include "host/frame_reader.h"

#include <string.h>

#include <algorithm>

namespace host {

size_t FrameReader::Missing() const {
    if (m_status != Status::kNeedMore) {
        return 0;
    }
    if (m_headBytes < kRequestHeaderSize) {
        return kRequestHeaderSize - m_headBytes;
    }
    return m_header.inLength - m_input.size();
}

size_t FrameReader::Take(const uint8_t* data, size_t length) {
    const size_t taken = std::min(length, Missing());
    size_t head = 0;
    if (m_headBytes < kRequestHeaderSize && taken > 0) {
        head = std::min(taken, kRequestHeaderSize - m_headBytes);
        memcpy(m_head + m_headBytes, data, head);
        m_headBytes += head;
        if (m_headBytes < kRequestHeaderSize) {
            return taken;
        }
        m_header = DecodeRequestHeader(m_head);
        switch (CheckRequestHeader(m_header)) {
            case FrameCheck::kBadMagic:
                m_status = Status::kBadMagic;
                return taken;
            case FrameCheck::kTooLong:
                m_status = Status::kTooLong;
                return taken;
            case FrameCheck::kOk:
                m_input.reserve(m_header.inLength);
                break;
        }
    }
    m_input.insert(m_input.end(), data + head, data + taken);
    if (m_status == Status::kNeedMore && m_headBytes == kRequestHeaderSize &&
        m_input.size() == m_header.inLength) {
        m_status = Status::kComplete;
    }
    return taken;
}

}  // namespace host
