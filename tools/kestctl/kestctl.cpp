#include "tools/kestctl/kestctl.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "app/device/device_client.h"
#include "app/device/device_transport.h"
#include "protocol/frame.h"
#include "protocol/ioctl.h"
#include "tools/kestctl/command_support.h"
#include "tools/kestctl/readings.h"
#include "tools/kestctl/commands.h"

#ifndef _WIN32
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "common/unix_socket.h"
#endif

namespace {

constexpr const char* kUsage =
    "usage: kestctl COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  info    the adapter's identity, aperture, I/O window and AGP mode\n"
    "  read    every sensor reading of the monitor chip\n"
    "  watch   sample the board's readings every interval, as a table, CSV or JSON lines\n"
    "  clocks  the engine and memory clocks in force; 'clocks set' changes them\n"
    "  raw     send one control request exactly as given\n"
    "  sim     control the running service's simulated board\n"
    "\n"
    "'kestctl COMMAND --help' describes each command.\n";

constexpr const char* kInfoUsage =
    "usage: kestctl info\n"
    "\n"
    "Prints the seven fields of the adapter information record, one 'name value' line each.\n";

constexpr const char* kReadUsage =
    "usage: kestctl read [--json]\n"
    "\n"
    "Sends every reading request and prints one 'name value' line each: fan1 in RPM, in* in\n"
    "millivolts, temp* in degrees C, chip_id and fan_drive as the chip holds them. A request\n"
    "that fails reads 0.\n"
    "  --json  one JSON object instead: the adapter and subsystem ids, and every reading keyed\n"
    "          by its name. First the items the board's monitor watches (fan1, temp3, ...): their\n"
    "          name, raw value, value in their unit (RPM, V, °C), whether it is inside the\n"
    "          board's safe range and the range's text. Then the other readings: their raw\n"
    "          value, their value and unit where they have one, and safe null, as there is no\n"
    "          range for them. A failed reading is null.\n";

constexpr const char* kRawUsage =
    "usage: kestctl raw CODE [--in VALUE]... [--in-bytes HEX] [--out N]\n"
    "\n"
    "Sends one control request and prints: the status as 0x%08X, the Information count, and the\n"
    "returned bytes in hex (nothing when none).\n"
    "  CODE            control code, hex with 0x or decimal\n"
    "  --in VALUE      appends VALUE to the input as a little-endian 32-bit word\n"
    "  --in-bytes HEX  appends raw bytes, two hex digits each (e.g. 0a0b)\n"
    "  --out N         output buffer length in bytes (default 0)\n"
    "Exits 0 when the request was delivered, whatever its status.\n";

constexpr const char* kSimUsage =
    "usage: kestctl sim COMMAND\n"
    "\n"
    "Controls the simulated board of the running service (through <device socket>.sim):\n"
    "  chip absent|present      remove the monitor chip from the bus, or put it back\n"
    "  fan stall|run            stop the fan whatever its drive, or let it follow the drive\n"
    "  pin SENSOR VALUE         make the chip report VALUE (RPM, millivolts or whole degrees C)\n"
    "  unpin SENSOR             let the chip measure SENSOR again\n"
    "  adapter remove|insert    make the adapter vanish from PCI, or bring it back\n"
    "  iobar missing|present    make the adapter's I/O BAR read all ones, or restore it\n"
    "  engine stuck|free        make the adapter's I2C engine stay busy, or free it again\n"
    "  ambient DEGREES          add heat to the room\n"
    "  state                    print the board's state as key=value lines\n"
    "SENSOR is one of fan1 in1 in2 in5 in6 in7 in8 temp1 temp2 temp3.\n";

int Info(int argc, const char* const* argv, std::string* out, std::string* err) {
    if (argc > 0 && IsHelp(argv[0])) {
        *out += kInfoUsage;
        return 0;
    }
    if (argc > 0) {
        return BadArguments(err, Format("info takes no arguments, got '%s'", argv[0]), kInfoUsage);
    }
    if (!DeviceReachable(err)) {
        return 1;
    }
    uint32_t base = QueryAdapterInfo(1);
    uint32_t sizeMb = QueryAdapterInfo(2);
    uint32_t pciId = QueryAdapterInfo(3);
    uint32_t ioBase = QueryAdapterInfo(4);
    uint32_t agpRate = QueryAdapterInfo(5);
    uint32_t agpVersion = QueryAdapterInfo(6);
    uint32_t subsystem = QueryAdapterInfo(7);
    *out += Format("apertureBase 0x%08X\n", base);
    *out += Format("apertureSizeMB %u MiB\n", sizeMb);
    *out += Format("pciId 0x%08X device 0x%04X vendor 0x%04X%s\n", pciId, pciId >> 16,
                   pciId & 0xFFFF, IsSupportedAdapter(pciId) ? "" : " (not a supported adapter)");
    *out += Format("ioBase 0x%08X\n", ioBase);
    *out += agpRate == 0 ? std::string("agpRate 0 (not recognised)\n")
                         : Format("agpRate %u (AGP %ux)\n", agpRate, agpRate);
    *out += Format("agpVersion %u (AGP %u.0)\n", agpVersion, agpVersion);
    *out += Format("subsystemId 0x%08X device 0x%04X vendor 0x%04X\n", subsystem, subsystem >> 16,
                   subsystem & 0xFFFF);
    return 0;
}

int Read(int argc, const char* const* argv, std::string* out, std::string* err) {
    if (argc > 0 && IsHelp(argv[0])) {
        *out += kReadUsage;
        return 0;
    }
    if (argc == 1 && strcmp(argv[0], "--json") == 0) {
        return ReadJson(out, err);
    }
    if (argc > 0) {
        return BadArguments(err, Format("read takes no arguments but --json, got '%s'", argv[0]),
                            kReadUsage);
    }
    if (!DeviceReachable(err)) {
        return 1;
    }
    for (const NamedReading& r : AllReadings()) {
        uint32_t value = QueryDriverReading(r.code);
        *out += r.code == IOCTL_READ_CHIP_ID ? Format("%s 0x%02X\n", r.name, value)
                                             : Format("%s %u\n", r.name, value);
    }
    return 0;
}

int Raw(int argc, const char* const* argv, std::string* out, std::string* err) {
    if (argc > 0 && IsHelp(argv[0])) {
        *out += kRawUsage;
        return 0;
    }
    if (argc == 0) {
        return BadArguments(err, "raw needs a control code", kRawUsage);
    }
    uint32_t code = 0;
    if (!ParseNumber(argv[0], &code)) {
        return BadArguments(err, Format("'%s' is not a control code", argv[0]), kRawUsage);
    }
    std::vector<uint8_t> input;
    uint32_t outLength = 0;
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (IsHelp(option)) {
            *out += kRawUsage;
            return 0;
        }
        bool known = strcmp(option, "--in") == 0 || strcmp(option, "--in-bytes") == 0 ||
                     strcmp(option, "--out") == 0;
        if (!known) {
            return BadArguments(err, Format("unknown option '%s'", option), kRawUsage);
        }
        if (i + 1 >= argc) {
            return BadArguments(err, Format("%s needs a value", option), kRawUsage);
        }
        const char* value = argv[++i];
        if (strcmp(option, "--in") == 0) {
            uint32_t word = 0;
            if (!ParseNumber(value, &word)) {
                return BadArguments(err, Format("'%s' is not a 32-bit value", value), kRawUsage);
            }
            for (int b = 0; b < 4; ++b) {
                input.push_back(static_cast<uint8_t>(word >> (8 * b)));
            }
        } else if (strcmp(option, "--in-bytes") == 0) {
            if (!ParseHexBytes(value, &input)) {
                return BadArguments(err, Format("'%s' is not a string of hex byte pairs", value),
                                    kRawUsage);
            }
        } else if (!ParseNumber(value, &outLength)) {
            return BadArguments(err, Format("'%s' is not a length", value), kRawUsage);
        }
    }
    if (input.size() > kFrameMaxData || outLength > kFrameMaxData) {
        return BadArguments(
            err, Format("input and output are limited to %u bytes each", kFrameMaxData), kRawUsage);
    }

    DeviceTransport& transport = CurrentDeviceTransport();
    const char* why = "unknown reason";
    DeviceHandle h = transport.Open(&why);
    if (h == kInvalidDeviceHandle) {
        *err += Format("kestctl: cannot open %s: %s\n", KEST_USER_PATH, why);
        return 1;
    }
    std::vector<uint8_t> output(outLength);
    uint32_t status = 0;
    uint32_t information = 0;
    bool answered = transport.Control(
        h, code, input.empty() ? nullptr : input.data(), static_cast<uint32_t>(input.size()),
        output.empty() ? nullptr : output.data(), outLength, &status, &information);
    transport.Close(h);
    if (!answered) {
        *err += Format("kestctl: request 0x%08X was not answered\n", code);
        return 1;
    }
    std::string line = Format("0x%08X %u", status, information);
    uint32_t shown = information < outLength ? information : outLength;
    if (shown > 0) {
        line += " ";
        for (uint32_t i = 0; i < shown; ++i) {
            line += Format("%02x", output[i]);
        }
    }
    *out += line + "\n";
    return 0;
}

int Sim(int argc, const char* const* argv, std::string* out, std::string* err) {
    if (argc == 0) {
        return BadArguments(err, "sim needs a command", kSimUsage);
    }
    if (IsHelp(argv[0])) {
        *out += kSimUsage;
        return 0;
    }
#ifdef _WIN32
    (void)argv;
    *err += "kestctl: sim controls the simulated board of kestatid, which Windows does not run\n";
    return 1;
#else
    std::string command;
    for (int i = 0; i < argc; ++i) {
        if (strchr(argv[i], '\n') != nullptr) {
            return BadArguments(err, "arguments may not contain line breaks", kSimUsage);
        }
        if (i > 0) {
            command += ' ';
        }
        command += argv[i];
    }
    std::string path = std::string(DeviceSocketPath()) + kSimSocketSuffix;
    int fd = ConnectUnixSocket(path);
    if (fd < 0) {
        if (errno == ENAMETOOLONG) {
            *err += "kestctl: the control socket path " + path + " is too long\n";
        } else {
            *err += Format("kestctl: cannot reach the simulated board at %s: %s\n", path.c_str(),
                           strerror(errno));
        }
        return 1;
    }
    command += "\n";
    bool sent = SendAll(fd, command.data(), command.size());
    std::string answer;
    while (sent) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0) {
            break;
        }
        char buffer[1024];
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        answer.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    if (answer.empty()) {
        *err += "kestctl: the simulated board did not answer\n";
        return 1;
    }
    if (answer.compare(0, 6, "error:") == 0) {
        size_t from = answer.compare(0, 7, "error: ") == 0 ? 7 : 6;
        std::string message = answer.substr(from);
        if (message.empty() || message.back() != '\n') {
            message += '\n';
        }
        *err += "kestctl: sim: " + message;
        return 2;
    }
    if (answer != "ok\n") {
        *out += answer;
    }
    return 0;
#endif
}

// Collects what a command writes; nobody answers questions.
class StringIo : public KestctlIo {
public:
    StringIo(std::string* out, std::string* err) : m_out(out), m_err(err) {}
    void Out(const std::string& text) override { *m_out += text; }
    void Err(const std::string& text) override { *m_err += text; }
    int Input() const override { return -1; }

private:
    std::string* m_out;
    std::string* m_err;
};

}  // namespace

int RunKestctl(int argc, const char* const* argv, KestctlIo& io) {
    std::string out;
    std::string err;
    int code = 2;
    const char* command = argc < 2 ? nullptr : argv[1];
    int restCount = argc - 2;
    const char* const* rest = argv + 2;
    if (command == nullptr) {
        code = BadArguments(&err, "no command given", kUsage);
    } else if (IsHelp(command) || strcmp(command, "help") == 0) {
        out += kUsage;
        code = 0;
    } else if (strcmp(command, "info") == 0) {
        code = Info(restCount, rest, &out, &err);
    } else if (strcmp(command, "read") == 0) {
        code = Read(restCount, rest, &out, &err);
    } else if (strcmp(command, "watch") == 0) {
        return Watch(restCount, rest, io);
    } else if (strcmp(command, "clocks") == 0) {
        return ClocksCommand(restCount, rest, io);
    } else if (strcmp(command, "raw") == 0) {
        code = Raw(restCount, rest, &out, &err);
    } else if (strcmp(command, "sim") == 0) {
        code = Sim(restCount, rest, &out, &err);
    } else {
        code = BadArguments(&err, Format("unknown command '%s'", command), kUsage);
    }
    if (!out.empty()) {
        io.Out(out);
    }
    if (!err.empty()) {
        io.Err(err);
    }
    return code;
}

int RunKestctl(int argc, const char* const* argv, std::string* out, std::string* err) {
    StringIo io(out, err);
    return RunKestctl(argc, argv, io);
}
