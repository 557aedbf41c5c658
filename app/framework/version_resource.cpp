#include "app/framework/version_resource.h"

#include <cstdio>
#include <vector>

namespace {

constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kTypeVersion = 16;  // RT_VERSION
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr uint32_t kSubdirectoryFlag = 0x80000000u;
constexpr size_t kMaxFileSize = 64u << 20;
constexpr int kMaxEntries = 4096;

// Bounds-checked little-endian reads over the image.
class Image {
public:
    Image(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool U16(size_t offset, uint32_t* out) const {
        if (offset > m_size || m_size - offset < 2) {
            return false;
        }
        *out = static_cast<uint32_t>(m_data[offset]) |
               (static_cast<uint32_t>(m_data[offset + 1]) << 8);
        return true;
    }
    bool U32(size_t offset, uint32_t* out) const {
        if (offset > m_size || m_size - offset < 4) {
            return false;
        }
        uint32_t lo = 0;
        uint32_t hi = 0;
        U16(offset, &lo);
        U16(offset + 2, &hi);
        *out = lo | (hi << 16);
        return true;
    }
    size_t Size() const { return m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
};

struct Section {
    uint32_t nVirtualAddress;
    uint32_t nVirtualSize;
    uint32_t nRawOffset;
    uint32_t nRawSize;
};

class PeReader {
public:
    explicit PeReader(const Image& image) : m_image(image) {}

    // Finds the resource directory; false when the image is not a PE file or has none.
    bool Open() {
        uint32_t mz = 0;
        uint32_t peOffset = 0;
        uint32_t signature = 0;
        if (!m_image.U16(0, &mz) || mz != 0x5A4D || !m_image.U32(0x3C, &peOffset) ||
            !m_image.U32(peOffset, &signature) || signature != 0x00004550) {
            return false;
        }
        const size_t coff = static_cast<size_t>(peOffset) + 4;
        uint32_t nSections = 0;
        uint32_t optionalSize = 0;
        uint32_t magic = 0;
        if (!m_image.U16(coff + 2, &nSections) || !m_image.U16(coff + 16, &optionalSize) ||
            !m_image.U16(coff + 20, &magic)) {
            return false;
        }
        const size_t optional = coff + 20;
        size_t directories = 0;
        size_t countOffset = 0;
        if (magic == 0x10B) {
            countOffset = optional + 92;
            directories = optional + 96;
        } else if (magic == 0x20B) {
            countOffset = optional + 108;
            directories = optional + 112;
        } else {
            return false;
        }
        uint32_t nDirectories = 0;
        if (!m_image.U32(countOffset, &nDirectories) || nDirectories <= kResourceDirectoryIndex ||
            !m_image.U32(directories + 8 * kResourceDirectoryIndex, &m_nResourceRva) ||
            m_nResourceRva == 0) {
            return false;
        }
        const size_t sectionTable = optional + optionalSize;
        for (uint32_t i = 0; i < nSections; ++i) {
            const size_t s = sectionTable + 40 * static_cast<size_t>(i);
            Section section{};
            if (!m_image.U32(s + 8, &section.nVirtualSize) ||
                !m_image.U32(s + 12, &section.nVirtualAddress) ||
                !m_image.U32(s + 16, &section.nRawSize) ||
                !m_image.U32(s + 20, &section.nRawOffset)) {
                return false;
            }
            m_sections.push_back(section);
        }
        return FileOffset(m_nResourceRva, &m_nResourceBase);
    }

    // The file offset of an address in the image.
    bool FileOffset(uint32_t rva, size_t* out) const {
        for (const Section& s : m_sections) {
            const uint32_t extent = s.nVirtualSize != 0 ? s.nVirtualSize : s.nRawSize;
            if (rva >= s.nVirtualAddress && rva - s.nVirtualAddress < extent &&
                rva - s.nVirtualAddress < s.nRawSize) {
                *out = static_cast<size_t>(s.nRawOffset) + (rva - s.nVirtualAddress);
                return *out < m_image.Size();
            }
        }
        return false;
    }

    // The OffsetToData of the entry with `id` (or of the first entry when id is 0) in the
    // resource directory at `dirOffset` (relative to the resource base).
    bool Entry(uint32_t dirOffset, uint32_t id, uint32_t* out) const {
        const size_t dir = m_nResourceBase + dirOffset;
        uint32_t nNamed = 0;
        uint32_t nIds = 0;
        if (!m_image.U16(dir + 12, &nNamed) || !m_image.U16(dir + 14, &nIds)) {
            return false;
        }
        const uint32_t total = nNamed + nIds;
        for (uint32_t i = 0; i < total && i < kMaxEntries; ++i) {
            const size_t entry = dir + 16 + 8 * static_cast<size_t>(i);
            uint32_t name = 0;
            if (!m_image.U32(entry, &name) || !m_image.U32(entry + 4, out)) {
                return false;
            }
            if (id == 0 || name == id) {
                return true;
            }
        }
        return false;
    }

    // Walks type -> first name -> first language to the version data.
    bool VersionData(size_t* pOffset, uint32_t* pSize) const {
        uint32_t level = 0;
        if (!Entry(0, kTypeVersion, &level) || (level & kSubdirectoryFlag) == 0 ||
            !Entry(level & ~kSubdirectoryFlag, 0, &level) || (level & kSubdirectoryFlag) == 0 ||
            !Entry(level & ~kSubdirectoryFlag, 0, &level) || (level & kSubdirectoryFlag) != 0) {
            return false;
        }
        uint32_t rva = 0;
        const size_t dataEntry = m_nResourceBase + level;
        return m_image.U32(dataEntry, &rva) && m_image.U32(dataEntry + 4, pSize) &&
               FileOffset(rva, pOffset);
    }

private:
    const Image& m_image;
    std::vector<Section> m_sections;
    uint32_t m_nResourceRva = 0;
    size_t m_nResourceBase = 0;
};

// VS_VERSIONINFO: length, value length, type, "VS_VERSION_INFO" in UTF-16 with its terminator,
// padding to 32 bits, then VS_FIXEDFILEINFO when the value length says it is there.
bool FixedFileInfo(const Image& image, size_t offset, uint32_t size, FileVersion* pVersion) {
    static const char kKey[] = "VS_VERSION_INFO";
    uint32_t length = 0;
    uint32_t valueLength = 0;
    if (size > image.Size() || offset > image.Size() - size || !image.U16(offset, &length) ||
        !image.U16(offset + 2, &valueLength) || length > size || valueLength < 52) {
        return false;
    }
    size_t p = offset + 6;
    for (size_t i = 0; i < sizeof(kKey); ++i, p += 2) {
        uint32_t c = 0;
        if (!image.U16(p, &c) || c != static_cast<uint8_t>(kKey[i])) {
            return false;
        }
    }
    p = offset + ((p - offset + 3) & ~static_cast<size_t>(3));
    if (p + 52 > offset + length) {
        return false;
    }
    uint32_t signature = 0;
    return image.U32(p, &signature) && signature == kFixedInfoSignature &&
           image.U32(p + 8, &pVersion->nMS) && image.U32(p + 12, &pVersion->nLS);
}

}  // namespace

bool FindFileVersion(const uint8_t* data, size_t size, FileVersion* pVersion) {
    if (data == nullptr || pVersion == nullptr) {
        return false;
    }
    const Image image(data, size);
    PeReader reader(image);
    size_t offset = 0;
    uint32_t dataSize = 0;
    return reader.Open() && reader.VersionData(&offset, &dataSize) &&
           FixedFileInfo(image, offset, dataSize, pVersion);
}

bool ReadFileVersion(const char* path, FileVersion* pVersion) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0 && bytes.size() < kMaxFileSize) {
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    std::fclose(f);
    return FindFileVersion(bytes.data(), bytes.size(), pVersion);
}

std::string FormatFileVersion(const FileVersion& version) {
    char text[48];
    std::snprintf(text, sizeof(text), "%u.%u.%u.%u", version.nMS >> 16, version.nMS & 0xFFFF,
                  version.nLS >> 16, version.nLS & 0xFFFF);
    return text;
}
