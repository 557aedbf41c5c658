// kestctl watch: every reading of the board each interval, as an aligned table for people, CSV
// for spreadsheets and logs, or one JSON object per line for scripts.
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <chrono>
#include <vector>

#include "protocol/ioctl.h"
#include "tools/kestctl/command_support.h"
#include "tools/kestctl/commands.h"
#include "tools/kestctl/interrupts.h"
#include "tools/kestctl/readings.h"

namespace {

constexpr const char* kWatchUsage =
    "usage: kestctl watch [--interval SECONDS] [--count N] [--format table|csv|json]\n"
    "\n"
    "Reads every item the board's monitor watches, once each interval, until N samples are\n"
    "written or SIGINT or SIGTERM arrives (then the current line is finished and the exit\n"
    "code is 0). When the service goes away the command stops with exit code 1.\n"
    "  --interval SECONDS  time between samples, fractions allowed, 0 for as fast as the\n"
    "                      service answers (default 1)\n"
    "  --count N           stop after N samples (default: never)\n"
    "  --format table      one aligned line per sample, values with units, '!' after a value\n"
    "                      outside the board's safe range (default)\n"
    "  --format csv        a header, then one line per sample: ISO 8601 local time, then one\n"
    "                      column per reading in its unit\n"
    "  --format json       one object per line: time, and each item as 'read --json' has it\n"
    "A failed reading is '-' in the table, an empty CSV field and null in JSON. Every line is\n"
    "written out at once, so a log file keeps every sample written before a crash.\n";

enum class WatchFormat { kTable, kCsv, kJson };

constexpr double kLongestInterval = 86400;

// Decimal seconds: digits with at most one point, nothing else.
bool ParseSeconds(const char* text, double* seconds) {
    int digits = 0;
    int points = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p >= '0' && *p <= '9') {
            ++digits;
        } else if (*p == '.') {
            ++points;
        } else {
            return false;
        }
    }
    if (digits == 0 || points > 1) {
        return false;
    }
    *seconds = strtod(text, nullptr);
    return *seconds <= kLongestInterval;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

struct LocalTime {
    std::string iso;    // 2026-12-08T01:02:03.045+01:00
    std::string clock;  // 01:02:03
};

LocalTime Now() {
    using namespace std::chrono;
    const system_clock::time_point now = system_clock::now();
    const long long ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    const time_t seconds = static_cast<time_t>(ms / 1000);
    tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    // The offset is whatever separates the local wall clock from UTC at this instant.
    const long long localSeconds =
        DaysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                      static_cast<unsigned>(local.tm_mday)) *
            86400 +
        local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    const long long offset = (localSeconds - static_cast<long long>(seconds)) / 60;
    const long long absOffset = offset < 0 ? -offset : offset;
    LocalTime t;
    t.clock = Format("%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    t.iso = Format("%04d-%02d-%02dT%s.%03d%c%02lld:%02lld", local.tm_year + 1900, local.tm_mon + 1,
                   local.tm_mday, t.clock.c_str(), static_cast<int>(ms % 1000),
                   offset < 0 ? '-' : '+', absOffset / 60, absOffset % 60);
    return t;
}

// Columns on a terminal: bytes that do not continue a UTF-8 sequence.
size_t DisplayWidth(const std::string& text) {
    size_t width = 0;
    for (char c : text) {
        width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return width;
}

std::string PadLeft(const std::string& text, size_t width) {
    size_t shown = DisplayWidth(text);
    return shown >= width ? text : std::string(width - shown, ' ') + text;
}

std::string TableCell(const ItemSample& s) {
    if (!s.bRead) {
        return "- ";
    }
    return ItemValueText(s) + " " + ItemUnit(s.item) + (s.bSafe ? " " : "!");
}

// The table's column width for an item: its name, or its widest value.
size_t TableWidth(MonitoredItem item) {
    ItemSample widest{item, true, 0xFFFFFFFFu, false};
    return std::max(DisplayWidth(ItemListName(item)) + 1, DisplayWidth(TableCell(widest)));
}

class Writer {
public:
    Writer(WatchFormat format, const WatchedBoard& board, KestctlIo& io)
        : m_format(format), m_board(board), m_io(io) {}

    void Header() {
        std::string line;
        if (m_format == WatchFormat::kCsv) {
            line = "time";
            for (MonitoredItem item : ItemListOrder(m_board.kind)) {
                line += Format(",%s (%s)", ItemListName(item), ItemUnit(item));
            }
        } else if (m_format == WatchFormat::kTable) {
            line = "time    ";
            for (MonitoredItem item : ItemListOrder(m_board.kind)) {
                line += "  " + PadLeft(std::string(ItemListName(item)) + " ", TableWidth(item));
            }
        } else {
            return;
        }
        Write(line);
    }

    void Sample(const std::vector<ItemSample>& samples) {
        const LocalTime now = Now();
        std::string line;
        if (m_format == WatchFormat::kCsv) {
            line = now.iso;
            for (const ItemSample& s : samples) {
                line += "," + ItemValueText(s);
            }
        } else if (m_format == WatchFormat::kTable) {
            line = now.clock;
            for (const ItemSample& s : samples) {
                line += "  " + PadLeft(TableCell(s), TableWidth(s.item));
            }
        } else {
            line = "{\"time\":" + JsonString(now.iso) +
                   ",\"readings\":" + ReadingsJson(m_board, samples) + "}";
        }
        Write(line);
    }

private:
    // One whole line at once; the table's cells keep a place for the marker, which is not
    // left dangling at the end of a line.
    void Write(std::string line) {
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        m_io.Out(line + "\n");
    }

    WatchFormat m_format;
    const WatchedBoard& m_board;
    KestctlIo& m_io;
};

}  // namespace

int Watch(int argc, const char* const* argv, KestctlIo& io) {
    double interval = 1;
    uint32_t count = 0;
    WatchFormat format = WatchFormat::kTable;
    std::string err;
    for (int i = 0; i < argc; ++i) {
        const char* option = argv[i];
        if (IsHelp(option)) {
            io.Out(kWatchUsage);
            return 0;
        }
        bool known = strcmp(option, "--interval") == 0 || strcmp(option, "--count") == 0 ||
                     strcmp(option, "--format") == 0;
        if (!known) {
            io.Err(Format("kestctl: unknown option '%s'\n", option) + kWatchUsage);
            return 2;
        }
        if (i + 1 >= argc) {
            io.Err(Format("kestctl: %s needs a value\n", option) + kWatchUsage);
            return 2;
        }
        const char* value = argv[++i];
        bool good = true;
        if (strcmp(option, "--interval") == 0) {
            good = ParseSeconds(value, &interval);
        } else if (strcmp(option, "--count") == 0) {
            good = ParseNumber(value, &count) && count > 0;
        } else if (strcmp(value, "table") == 0) {
            format = WatchFormat::kTable;
        } else if (strcmp(value, "csv") == 0) {
            format = WatchFormat::kCsv;
        } else if (strcmp(value, "json") == 0) {
            format = WatchFormat::kJson;
        } else {
            good = false;
        }
        if (!good) {
            io.Err(Format("kestctl: '%s' is not a valid value for %s\n", value, option) +
                   kWatchUsage);
            return 2;
        }
    }
    if (!DeviceReachable(&err)) {
        io.Err(err);
        return 1;
    }

    Interrupts interrupts;
    const WatchedBoard board = IdentifyBoard();
    Writer writer(format, board, io);
    writer.Header();

    using Clock = std::chrono::steady_clock;
    const auto step =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(interval));
    Clock::time_point next = Clock::now();
    std::vector<ItemSample> samples;
    for (uint32_t n = 1;; ++n) {
        if (!SampleBoard(board, &samples)) {
            io.Err(Format("kestctl: lost %s: the service stopped answering\n", KEST_USER_PATH));
            return 1;
        }
        writer.Sample(samples);
        if (n == count || interrupts.Arrived()) {
            return 0;
        }
        // Samples keep to the interval's grid; after a slow sample the next one starts at once
        // instead of catching up in a burst.
        next += step;
        const Clock::time_point now = Clock::now();
        if (next < now) {
            next = now;
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
        if (interrupts.Wait(static_cast<int>(wait)) == Interrupts::Wake::kInterrupt) {
            return 0;
        }
    }
}
