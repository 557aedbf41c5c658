#include "host/frame_reader.h"

#include <algorithm>

namespace host {

size_t FrameReader::Missing() const {
    if (m_status != Status::kNeedMore) {
        return 0;
    }
    if (m_bytes.size() < kRequestHeaderSize) {
        return kRequestHeaderSize - m_bytes.size();
    }
    return kRequestHeaderSize + m_header.inLength - m_bytes.size();
}

size_t FrameReader::Take(const uint8_t* data, size_t length) {
    const size_t taken = std::min(length, Missing());
    m_bytes.insert(m_bytes.end(), data, data + taken);
    if (m_status == Status::kNeedMore && m_bytes.size() == kRequestHeaderSize && taken > 0) {
        m_header = DecodeRequestHeader(m_bytes.data());
        switch (CheckRequestHeader(m_header)) {
            case FrameCheck::kBadMagic:
                m_status = Status::kBadMagic;
                return taken;
            case FrameCheck::kTooLong:
                m_status = Status::kTooLong;
                return taken;
            case FrameCheck::kOk:
                m_bytes.reserve(kRequestHeaderSize + m_header.inLength);
                break;
        }
    }
    if (m_bytes.size() >= kRequestHeaderSize &&
        m_bytes.size() == kRequestHeaderSize + m_header.inLength) {
        m_status = Status::kComplete;
    }
    return taken;
}

}  // namespace host
