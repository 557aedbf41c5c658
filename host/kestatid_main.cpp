// kestatid: hosts the KestATI driver on the I/O manager emulation and publishes its device as a
// Unix socket.
#include <errno.h>
#include <grp.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "common/device_socket.h"
#include "common/service_key_file.h"
#include "host/driver_entry.h"
#include "host/hardware_adapter.h"
#include "host/hardware_port_bus.h"
#include "host/io_manager.h"
#include "host/sim_control.h"
#include "host/socket_server.h"
#include "host/sysfs_files.h"
#include "protocol/frame.h"
#include "protocol/ioctl.h"
#include "sim/board_catalogue.h"
#include "sim/clock.h"
#include "sim/machine.h"

namespace {

constexpr const char* kUsage =
    "usage: kestatid [--board NAME] [--socket PATH] [--service-key PATH] [--group NAME]\n"
    "       kestatid --hardware [--probe] [--sysfs DIR] [--slot SLOT] [--socket PATH]\n"
    "                [--service-key PATH] [--group NAME]\n"
    "       kestatid --list-boards\n"
    "\n"
    "Loads the KestATI driver on a simulated board and serves its device \\\\.\\kestati.\n"
    "  --board NAME        simulated board (default 9800pro)\n"
    "  --hardware          load the driver on this machine's adapter instead, reached only\n"
    "                      through its files under /sys\n"
    "  --probe             with --hardware: print the adapter found and what would be accessed,\n"
    "                      touching nothing\n"
    "  --sysfs DIR         with --hardware: DIR stands in for /sys\n"
    "  --slot SLOT         with --hardware: refuse unless the adapter is at SLOT (0000:01:00.0)\n"
    "  --socket PATH       device socket (default $KESTATI_DEVICE, else "
    "/run/kestati/kestati.sock)\n"
    "  --service-key PATH  the driver's service key file, created when missing\n"
    "                      (default $KESTATI_SERVICE_KEY, else /var/lib/kestati/KestATI.reg)\n"
    "  --group NAME        group that may use the device (default video)\n"
    "  --list-boards       print the names of the simulated boards, one a line\n"
    "Signals: TERM or INT unload the driver and stop; USR1 tells the driver the system resumed.\n";

struct Options {
    std::string board = "9800pro";
    std::string socket;
    std::string serviceKey;
    std::string group = "video";
    bool groupGiven = false;
    bool boardGiven = false;
    bool hardware = false;
    bool probe = false;
    std::string sysfs;
    std::string slot;
};

// 0: run; 1: --help or the board list shown; 2: bad arguments.
int ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            fputs(kUsage, stdout);
            return 1;
        }
        if (arg == "--list-boards") {
            for (std::string_view name : sim::BoardNames()) {
                printf("%.*s\n", static_cast<int>(name.size()), name.data());
            }
            return 1;
        }
        if (arg == "--hardware" || arg == "--probe") {
            (arg == "--hardware" ? o->hardware : o->probe) = true;
            continue;
        }
        std::string* target = nullptr;
        if (arg == "--board") {
            target = &o->board;
            o->boardGiven = true;
        } else if (arg == "--sysfs") {
            target = &o->sysfs;
        } else if (arg == "--slot") {
            target = &o->slot;
        } else if (arg == "--socket") {
            target = &o->socket;
        } else if (arg == "--service-key") {
            target = &o->serviceKey;
        } else if (arg == "--group") {
            target = &o->group;
            o->groupGiven = true;
        } else {
            fprintf(stderr, "kestatid: unknown argument '%s'\n%s", arg.c_str(), kUsage);
            return 2;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            fprintf(stderr, "kestatid: %s needs a value\n%s", arg.c_str(), kUsage);
            return 2;
        }
        *target = argv[++i];
    }
    const char* conflict = nullptr;
    if (o->hardware && o->boardGiven) {
        conflict = "--board and --hardware exclude each other";
    } else if (!o->hardware && (o->probe || !o->sysfs.empty() || !o->slot.empty())) {
        conflict = "--probe, --sysfs and --slot need --hardware";
    }
    if (conflict != nullptr) {
        fprintf(stderr, "kestatid: %s\n%s", conflict, kUsage);
        return 2;
    }
    if (o->sysfs.empty()) {
        o->sysfs = "/sys";
    }
    if (o->socket.empty()) {
        o->socket = DeviceSocketPath();
    }
    if (o->serviceKey.empty()) {
        o->serviceKey = ServiceKeyFilePath();
    }
    return 0;
}

std::string Directory(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The standard locations under /run and /var/lib may not exist yet on a fresh system.
void EnsureDirectory(const std::string& dir, mode_t mode, gid_t gid) {
    struct stat st;
    if (stat(dir.c_str(), &st) == 0) {
        return;
    }
    if (mkdir(dir.c_str(), mode) != 0) {
        return;  // the caller reports the real failure when it uses the directory
    }
    chmod(dir.c_str(), mode);
    if (gid != static_cast<gid_t>(-1) && chown(dir.c_str(), static_cast<uid_t>(-1), gid) != 0) {
        // Group members then cannot create files there; the key file itself stays usable.
    }
}

const char* LoadFailureReason(uint32_t status) {
    if (status == kStatusInvalidDeviceRequest) {
        return "no supported adapter found";
    }
    return "the device or its link could not be created";
}

std::string BoardNameList() {
    std::string names;
    for (std::string_view name : sim::BoardNames()) {
        names += names.empty() ? "" : " ";
        names += name;
    }
    return names;
}

// What the driver runs on: a simulated board, or this machine's adapter through its files.
struct Target {
    std::unique_ptr<sim::Machine> machine;
    std::unique_ptr<host::SysfsFiles> files;
    std::unique_ptr<host::HardwarePortBus> hardware;
    PortBus* bus = nullptr;
    std::string name;  // for the log: "board 9800pro (...)" or "adapter 0000:01:00.0 (...)"
};

// 0: ready; otherwise the exit code, after one line on standard error (or the probe's report).
int OpenTarget(const Options& options, sim::Clock& clock, Target* target) {
    if (!options.hardware) {
        target->machine = sim::Machine::Create(options.board, clock);
        if (!target->machine) {
            fprintf(stderr, "kestatid: unknown board '%s'; boards: %s\n", options.board.c_str(),
                    BoardNameList().c_str());
            return 2;
        }
        target->bus = target->machine.get();
        target->name = "board " + options.board + " (" + target->machine->Board().description + ")";
        return 0;
    }
    target->files = host::OpenSysfsFiles(options.sysfs);
    host::HardwareAdapter adapter;
    std::string error;
    if (!host::FindHardwareAdapter(*target->files, options.sysfs, !options.probe, &adapter,
                                   &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // The installed unit opens exactly one slot's files for writing, so it names the slot.
    if (!options.slot.empty() && options.slot != adapter.slot) {
        fprintf(stderr,
                "kestatid: found the adapter at %s, not at %s as asked; use "
                "kestatid-hardware@%s.service\n",
                adapter.slot.c_str(), options.slot.c_str(), adapter.slot.c_str());
        return 1;
    }
    if (options.probe) {
        const bool writable =
            target->files->Writable(host::PciDeviceFile(adapter.slot, "resource1"));
        fputs(host::DescribeHardwareAdapter(adapter, options.sysfs, writable).c_str(), stdout);
        return -1;
    }
    target->hardware = std::make_unique<host::HardwarePortBus>(
        *target->files, adapter.slot, adapter.window, adapter.path,
        [](const std::string& line) { fprintf(stderr, "%s\n", line.c_str()); });
    target->bus = target->hardware.get();
    char window[64];
    snprintf(window, sizeof(window), "ports 0x%X-0x%X", adapter.window.first, adapter.window.last);
    target->name = "adapter " + adapter.slot + " (" + window +
                   (adapter.path == host::WindowPath::resourceFile ? " through resource1"
                                                                   : " through ioperm") +
                   ")";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    int parsed = ParseOptions(argc, argv, &options);
    if (parsed != 0) {
        return parsed == 1 ? 0 : 2;
    }

    sim::RealClock clock;
    Target target;
    if (int opened = OpenTarget(options, clock, &target); opened != 0) {
        return opened < 0 ? 0 : opened;
    }

    // Signals arrive through a descriptor the event loop reads; blocked before any thread
    // starts so that every thread inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGUSR1);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);
    int signalFd = signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (signalFd < 0) {
        fprintf(stderr, "kestatid: signalfd: %s\n", strerror(errno));
        return 1;
    }

    host::AttachPortBus(target.bus);
    uint32_t status = static_cast<uint32_t>(host::LoadDriver(host::KestatiDriverEntry()));
    if (!StatusSucceeded(status)) {
        fprintf(stderr, "kestatid: the KestATI driver did not load on %s: %s (status 0x%08X)\n",
                target.name.c_str(), LoadFailureReason(status), status);
        return 1;
    }
    fprintf(stderr, "kestatid: driver loaded on %s\n", target.name.c_str());

    gid_t gid = static_cast<gid_t>(-1);
    if (group* g = getgrnam(options.group.c_str())) {
        gid = g->gr_gid;
    } else if (options.groupGiven) {
        fprintf(stderr, "kestatid: no group '%s'; the device stays with the service's group\n",
                options.group.c_str());
    }

    EnsureDirectory(Directory(options.serviceKey), 02775, gid);
    std::string error;
    bool created = false;
    if (!CreateServiceKeyFileIfMissing(options.serviceKey.c_str(), 0664, gid, &error, &created)) {
        fprintf(stderr, "kestatid: cannot create the service key %s: %s\n",
                options.serviceKey.c_str(), error.c_str());
    } else if (created) {
        fprintf(stderr, "kestatid: created the service key %s\n", options.serviceKey.c_str());
    }

    EnsureDirectory(Directory(options.socket), 0755, static_cast<gid_t>(-1));
    // Real hardware has nothing to control from outside, so it gets no board-control socket.
    host::SocketServer server;
    std::string simPath = options.socket + kSimSocketSuffix;
    host::SimCommandHandler simCommands;
    if (sim::Machine* board = target.machine.get()) {
        simCommands = [board](const std::string& line) {
            return host::RunSimCommand(*board, line);
        };
    }
    if (!server.Start(options.socket, simPath, gid, simCommands, host::ServerLimits{}, &error)) {
        fprintf(stderr, "kestatid: %s\n", error.c_str());
        host::UnloadDriver();
        return 1;
    }
    if (simCommands) {
        fprintf(stderr, "kestatid: serving %s at %s (board control at %s)\n", KEST_USER_PATH,
                options.socket.c_str(), simPath.c_str());
    } else {
        fprintf(stderr, "kestatid: serving %s at %s\n", KEST_USER_PATH, options.socket.c_str());
    }

    server.Run(signalFd, [](int signo) {
        if (signo == SIGUSR1) {
            uint32_t s = static_cast<uint32_t>(host::SendSystemWorkingPower());
            fprintf(stderr, "kestatid: resume: set-power request completed with 0x%08X\n", s);
            return true;
        }
        fprintf(stderr, "kestatid: %s received; stopping\n", strsignal(signo));
        return false;
    });

    server.Stop();
    host::UnloadDriver();
    close(signalFd);
    fprintf(stderr, "kestatid: driver unloaded; stopped\n");
    return 0;
}
