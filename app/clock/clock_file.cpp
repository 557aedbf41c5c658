#include "app/clock/clock_file.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kFieldSize = 4;
constexpr std::size_t kFileSize = 2 * kFieldSize;

void PutField(unsigned char* out, int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    for (std::size_t i = 0; i < kFieldSize; ++i) {
        out[i] = static_cast<unsigned char>(u >> (8 * i));
    }
}

int32_t GetField(const unsigned char* in) {
    uint32_t u = 0;
    for (std::size_t i = 0; i < kFieldSize; ++i) {
        u |= static_cast<uint32_t>(in[i]) << (8 * i);
    }
    return static_cast<int32_t>(u);
}

// The stream way, as the program always wrote the file: "wb", both fields, back to 0, close.
bool WriteInPlace(const unsigned char* bytes) {
    std::FILE* f = std::fopen(kClockFileName, "wb");
    if (f == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes, 1, kFileSize, f) == kFileSize;
    std::fseek(f, 0, SEEK_SET);
    return std::fclose(f) == 0 && written;
}

#ifdef _WIN32

bool WriteReplacing(const unsigned char* bytes) {
    const char* temp = "kest.txt.new";
    std::FILE* f = std::fopen(temp, "wb");
    if (f == nullptr) {
        return WriteInPlace(bytes);
    }
    const bool written = std::fwrite(bytes, 1, kFileSize, f) == kFileSize;
    if (std::fclose(f) != 0 || !written ||
        !MoveFileExA(temp, kClockFileName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp);
        return WriteInPlace(bytes);
    }
    return true;
}

#else

// The mode a new file gets from "wb" (0666 less the umask), or the existing file's own.
mode_t ModeForReplacement() {
    struct stat st {};
    if (stat(kClockFileName, &st) == 0 && S_ISREG(st.st_mode)) {
        return st.st_mode & 07777;
    }
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const unsigned char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n <= 0) {
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteReplacing(const unsigned char* bytes) {
    char temp[] = "kest.txt.XXXXXX";
    const int fd = mkstemp(temp);
    if (fd < 0) {
        return WriteInPlace(bytes);
    }
    const bool ok =
        fchmod(fd, ModeForReplacement()) == 0 && WriteAll(fd, bytes, kFileSize) && fsync(fd) == 0;
    if (close(fd) != 0 || !ok || rename(temp, kClockFileName) != 0) {
        unlink(temp);
        return WriteInPlace(bytes);
    }
    return true;
}

#endif

}  // namespace

void MakeClockFileWritable() {
#ifdef _WIN32
    SetFileAttributesA(kClockFileName, FILE_ATTRIBUTE_NORMAL);
#else
    struct stat st {};
    if (stat(kClockFileName, &st) == 0) {
        chmod(kClockFileName, (st.st_mode & 07777) | S_IWUSR);
    }
#endif
}

StoredClocks ReadClockFile() {
    StoredClocks clocks{};
    MakeClockFileWritable();
    std::FILE* f = std::fopen(kClockFileName, "r+b");
    if (f == nullptr) {
        return clocks;
    }
    clocks.bOpened = true;
    unsigned char field[kFieldSize];
    std::fseek(f, 0, SEEK_SET);
    if (std::fread(field, kFieldSize, 1, f) == 1) {
        clocks.bHaveEngine = true;
        clocks.nEngine = GetField(field);
    }
    if (std::fread(field, kFieldSize, 1, f) == 1) {
        clocks.bHaveMemory = true;
        clocks.nMemory = GetField(field);
    }
    std::fseek(f, 0, SEEK_SET);
    std::fclose(f);
    return clocks;
}

bool WriteClockFile(int32_t nEngine, int32_t nMemory) {
    unsigned char bytes[kFileSize];
    PutField(bytes, nEngine);
    PutField(bytes + kFieldSize, nMemory);
    MakeClockFileWritable();
    return WriteReplacing(bytes);
}
