#include "common/service_key_file.h"

#include "common/hex_digit.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One logical entry of the file: its physical lines as they stand (kept byte for byte on
// rewrite) and the same text with backslash continuations joined.
struct Entry {
    std::string raw;
    std::string joined;
    bool unterminated = false;  // the file ends inside its continuation
};

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) {
        return std::string();
    }
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

std::vector<Entry> SplitEntries(const std::string& text) {
    std::vector<Entry> entries;
    size_t pos = 0;
    Entry current;
    bool continuing = false;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        size_t end = nl == std::string::npos ? text.size() : nl + 1;
        std::string physical = text.substr(pos, end - pos);
        pos = end;
        std::string content = physical;
        while (!content.empty() && (content.back() == '\n' || content.back() == '\r')) {
            content.pop_back();
        }
        current.raw += physical;
        std::string piece = continuing ? Trim(content) : content;
        bool continues = !piece.empty() && piece.back() == '\\';
        if (continues) {
            piece.pop_back();
        }
        current.joined += piece;
        continuing = continues;
        if (!continuing) {
            entries.push_back(current);
            current = Entry();
        }
    }
    if (continuing || !current.raw.empty()) {
        current.unterminated = continuing;
        entries.push_back(current);
    }
    return entries;
}

bool IsSection(const std::string& line) {
    return !line.empty() && line[0] == '[';
}

bool IsServiceKeySection(const std::string& line) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') {
        return false;
    }
    std::string key = t.substr(1, t.size() - 2);
    return strcasecmp(key.c_str(), kServiceKeyName) == 0;
}

// Parses `"name"=` at the start of an entry; returns the position after '=' or npos.
size_t ParseValueName(const std::string& line, std::string* name) {
    if (line.empty() || line[0] != '"') {
        return std::string::npos;
    }
    name->clear();
    size_t i = 1;
    while (i < line.size() && line[i] != '"') {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
        }
        name->push_back(line[i]);
        ++i;
    }
    if (i >= line.size()) {
        return std::string::npos;
    }
    ++i;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    if (i >= line.size() || line[i] != '=') {
        return std::string::npos;
    }
    return i + 1;
}

bool ParseData(const std::string& data, std::vector<uint8_t>* out) {
    out->clear();
    std::string d = Trim(data);
    if (strncasecmp(d.c_str(), "dword:", 6) == 0) {
        std::string digits = d.substr(6);
        if (digits.empty() || digits.size() > 8) {
            return false;
        }
        uint32_t v = 0;
        for (char c : digits) {
            int h = HexDigit(c);
            if (h < 0) {
                return false;
            }
            v = (v << 4) | static_cast<uint32_t>(h);
        }
        for (int i = 0; i < 4; ++i) {
            out->push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
        return true;
    }
    size_t colon = std::string::npos;
    if (strncasecmp(d.c_str(), "hex:", 4) == 0) {
        colon = 3;
    } else if (strncasecmp(d.c_str(), "hex(", 4) == 0) {
        size_t close = d.find("):");
        if (close == std::string::npos) {
            return false;
        }
        colon = close + 1;
    }
    if (colon != std::string::npos) {
        std::string bytes = d.substr(colon + 1);
        size_t i = 0;
        while (i < bytes.size()) {
            while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t')) {
                ++i;
            }
            if (i >= bytes.size()) {
                break;
            }
            int hi = HexDigit(bytes[i]);
            int lo = i + 1 < bytes.size() ? HexDigit(bytes[i + 1]) : -1;
            if (hi < 0 || lo < 0) {
                return false;
            }
            out->push_back(static_cast<uint8_t>((hi << 4) | lo));
            i += 2;
            while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t')) {
                ++i;
            }
            if (i < bytes.size()) {
                if (bytes[i] != ',') {
                    return false;
                }
                ++i;
            }
        }
        return true;
    }
    if (!d.empty() && d[0] == '"') {
        size_t i = 1;
        while (i < d.size() && d[i] != '"') {
            if (d[i] == '\\' && i + 1 < d.size()) {
                ++i;
            }
            out->push_back(static_cast<uint8_t>(d[i]));
            ++i;
        }
        if (i >= d.size()) {
            return false;
        }
        out->push_back(0);
        return true;
    }
    return false;
}

bool ReadWholeFd(int fd, std::string* text) {
    text->clear();
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        text->append(buffer, static_cast<size_t>(n));
    }
}

bool WriteAllFd(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

long ErrorFromErrno(int e) {
    if (e == ENOENT || e == ENOTDIR) {
        return kErrorFileNotFound;
    }
    if (e == EACCES || e == EPERM || e == EROFS) {
        return kErrorAccessDenied;
    }
    return kErrorWriteFault;
}

}  // namespace

const char* ServiceKeyFilePath() {
    const char* path = getenv(kServiceKeyEnv);
    return (path != nullptr && path[0] != '\0') ? path : kDefaultServiceKeyFile;
}

RegLookup FindRegValue(const std::string& text, const char* name, std::vector<uint8_t>* data) {
    bool keyFound = false;
    bool inKey = false;
    RegLookup result = RegLookup::kValueMissing;
    for (const Entry& entry : SplitEntries(text)) {
        std::string line = Trim(entry.joined);
        if (IsSection(line)) {
            inKey = IsServiceKeySection(line);
            keyFound = keyFound || inKey;
            continue;
        }
        std::string valueName;
        size_t at = inKey ? ParseValueName(line, &valueName) : std::string::npos;
        if (at == std::string::npos || strcasecmp(valueName.c_str(), name) != 0) {
            continue;
        }
        // A later entry of the same name wins, as when the file is imported.
        std::string valueData = Trim(line.substr(at));
        if (valueData == "-") {
            result = RegLookup::kValueMissing;
        } else if (ParseData(valueData, data)) {
            result = RegLookup::kFound;
        } else {
            result = RegLookup::kUnreadable;
        }
    }
    if (!keyFound) {
        return RegLookup::kKeyMissing;
    }
    return result;
}

bool SetRegDword(std::string* text, const char* name, uint32_t value) {
    std::vector<Entry> entries = SplitEntries(*text);
    char formatted[32];
    snprintf(formatted, sizeof formatted, "=dword:%08x", value);
    std::string newLine = "\"";
    for (const char* p = name; *p != '\0'; ++p) {
        if (*p == '"' || *p == '\\') {
            newLine.push_back('\\');
        }
        newLine.push_back(*p);
    }
    newLine += "\"";
    newLine += formatted;

    bool inKey = false;
    bool keyFound = false;
    bool replaced = false;
    size_t lastInKey = std::string::npos;  // index of the last non-blank entry of the section
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string line = Trim(entries[i].joined);
        if (IsSection(line)) {
            inKey = IsServiceKeySection(line);
            if (inKey) {
                keyFound = true;
                lastInKey = i;
            }
            continue;
        }
        if (!inKey) {
            continue;
        }
        if (!line.empty()) {
            lastInKey = i;
        }
        std::string valueName;
        if (ParseValueName(line, &valueName) != std::string::npos &&
            strcasecmp(valueName.c_str(), name) == 0) {
            std::string& raw = entries[i].raw;
            bool crlf = raw.size() >= 2 && raw.compare(raw.size() - 2, 2, "\r\n") == 0;
            raw = replaced ? std::string() : newLine + (crlf ? "\r\n" : "\n");
            replaced = true;
        }
    }
    if (!keyFound) {
        return false;
    }
    if (!replaced) {
        Entry& after = entries[lastInKey];
        if (after.raw.empty() || after.raw.back() != '\n') {
            after.raw += "\n";
        }
        if (after.unterminated) {
            after.raw += "\n";  // a blank line ends the continuation, or it would swallow ours
        }
        after.raw += newLine + "\n";
    }
    text->clear();
    for (const Entry& e : entries) {
        *text += e.raw;
    }
    return true;
}

std::string EmptyServiceKeyText() {
    return std::string("Windows Registry Editor Version 5.00\n\n[") + kServiceKeyName + "]\n";
}

long ReadServiceKeyValue(const char* path, const char* name, uint32_t* value) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return ErrorFromErrno(errno);
    }
    std::string text;
    bool ok = ReadWholeFd(fd, &text);
    close(fd);
    if (!ok) {
        return kErrorAccessDenied;
    }
    std::vector<uint8_t> data;
    switch (FindRegValue(text, name, &data)) {
        case RegLookup::kKeyMissing:
        case RegLookup::kValueMissing:
            return kErrorFileNotFound;
        case RegLookup::kUnreadable:
            return kErrorAccessDenied;
        case RegLookup::kFound:
            break;
    }
    if (data.size() > 4) {
        return kErrorMoreData;
    }
    uint32_t v = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        v |= static_cast<uint32_t>(data[i]) << (8 * i);
    }
    *value = v;
    return kErrorSuccess;
}

long WriteServiceKeyDword(const char* path, const char* name, uint32_t value) {
    // Writers lock the file they read and make sure it is still the one at `path` once the
    // lock is theirs: a writer that renamed a new file into place meanwhile would otherwise
    // have its value lost.
    for (;;) {
        int fd = open(path, O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            return ErrorFromErrno(errno);
        }
        if (flock(fd, LOCK_EX) != 0) {
            close(fd);
            return kErrorAccessDenied;
        }
        struct stat locked;
        struct stat current;
        if (fstat(fd, &locked) != 0) {
            close(fd);
            return kErrorAccessDenied;
        }
        if (stat(path, &current) != 0 || current.st_ino != locked.st_ino ||
            current.st_dev != locked.st_dev) {
            close(fd);
            continue;
        }
        std::string text;
        if (!ReadWholeFd(fd, &text)) {
            close(fd);
            return kErrorAccessDenied;
        }
        if (!SetRegDword(&text, name, value)) {
            close(fd);
            return kErrorFileNotFound;
        }
        std::string temp = std::string(path) + ".XXXXXX";
        int out = mkstemp(temp.data());
        if (out < 0) {
            long error = ErrorFromErrno(errno);
            close(fd);
            return error;
        }
        // The replacement keeps the key's permissions (and group, where allowed).
        fchmod(out, locked.st_mode & 07777);
        if (fchown(out, static_cast<uid_t>(-1), locked.st_gid) != 0) {
            // Not the group's member: the file keeps this writer's group.
        }
        bool written = WriteAllFd(out, text) && fsync(out) == 0;
        written = close(out) == 0 && written;
        if (!written || rename(temp.c_str(), path) != 0) {
            unlink(temp.c_str());
            close(fd);
            return kErrorWriteFault;
        }
        close(fd);
        return kErrorSuccess;
    }
}

bool CreateServiceKeyFileIfMissing(const char* path, mode_t mode, gid_t gid, std::string* error,
                                   bool* created) {
    *created = false;
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        if (errno == EEXIST) {
            return true;
        }
        *error = strerror(errno);
        return false;
    }
    // The umask may have narrowed the mode; the key must be writable by its group.
    fchmod(fd, mode);
    if (gid != static_cast<gid_t>(-1) && fchown(fd, static_cast<uid_t>(-1), gid) != 0) {
        // Left with the service's own group.
    }
    bool ok = WriteAllFd(fd, EmptyServiceKeyText());
    ok = close(fd) == 0 && ok;
    if (!ok) {
        *error = "cannot write the new key file";
        unlink(path);
        return false;
    }
    *created = true;
    return true;
}
