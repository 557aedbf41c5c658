// What `make install` lays out and the files people's tools read: the systemd unit, the desktop
// entries (desktop-file-validate), the launcher, the manual pages (man -l) and the completion.
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "sim/board_catalogue.h"
#include "tests/host/kestatid_process.h"

namespace {

struct ShellResult {
    int status;
    std::string out;
};

// Runs a shell command; standard error goes with standard output unless redirected.
ShellResult Shell(const std::string& command) {
    ShellResult r{-1, ""};
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (p == nullptr) {
        return r;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) {
        r.out.append(buffer, n);
    }
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool IsExecutableFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0111) == 0111;
}

bool IsFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
}

TEST(Install, StagedInstallLaysOutEveryFile) {
    kesttest::TempDir stage;
    ShellResult install =
        Shell("DESTDIR='" + stage.Path() +
              "' '" KEST_CMAKE "' --install '" KEST_BUILD_DIR "' --prefix /usr/local");
    ASSERT_EQ(install.status, 0) << install.out;
    const std::string root = stage.Path();
    for (const char* program : {"/usr/local/sbin/kestatid", "/usr/local/bin/kestctl",
                                "/usr/lib/systemd/system-sleep/kestatid"}) {
        EXPECT_TRUE(IsExecutableFile(root + program)) << program;
    }
    for (const char* file :
         {"/usr/local/lib/systemd/system/kestatid.service", "/usr/local/share/man/man8/kestatid.8",
          "/usr/local/share/man/man1/kestctl.1", "/usr/local/share/man/man1/zel.1",
          "/usr/local/share/bash-completion/completions/kestctl",
          "/usr/local/share/bash-completion/completions/kestatid"}) {
        EXPECT_TRUE(IsFile(root + file)) << file;
    }
    const char* zelFiles[] = {"/usr/local/bin/zel", "/usr/local/libexec/kestati/zel-launch",
                              "/usr/local/share/applications/zel.desktop",
                              "/etc/xdg/autostart/zel.desktop",
                              "/usr/local/share/icons/hicolor/scalable/apps/zel.svg"};
    for (const char* file : zelFiles) {
        // The tray program and what starts it come with the Qt build only.
        EXPECT_EQ(IsFile(root + file), KEST_HAS_ZEL == 1) << file;
    }
    if (KEST_HAS_ZEL == 1) {
        EXPECT_EQ(ReadText(root + "/usr/local/share/icons/hicolor/scalable/apps/zel.svg"),
                  ReadText(KEST_SOURCE_DIR "/app/res/artwork/128.svg"));
        ShellResult valid = Shell("desktop-file-validate '" + root +
                                  "/usr/local/share/applications/zel.desktop' '" + root +
                                  "/etc/xdg/autostart/zel.desktop'");
        EXPECT_EQ(valid.status, 0) << valid.out;
        EXPECT_EQ(valid.out, "");
    }

    // The service runs from where it was installed, as the layout has it.
    std::string unit = ReadText(root + "/usr/local/lib/systemd/system/kestatid.service");
    for (const char* line :
         {"\nExecStart=/usr/local/sbin/kestatid --socket /run/kestati/kestati.sock "
          "--service-key /var/lib/kestati/KestATI.reg --group video\n",
          "\nGroup=video\n", "\nRuntimeDirectory=kestati\n", "\nStateDirectory=kestati\n",
          "\nStateDirectoryMode=2775\n", "\nRestart=on-failure\n",
          "\nWantedBy=multi-user.target\n"}) {
        EXPECT_NE(unit.find(line), std::string::npos) << line;
    }
    // systemd reads it without a complaint, run from the staged binary.
    const std::string staged = root + "/kestatid.service";
    ShellResult copy = Shell("sed 's|=/usr/local/sbin/|=" + root + "/usr/local/sbin/|' '" + root +
                             "/usr/local/lib/systemd/system/kestatid.service' > '" + staged + "'");
    ASSERT_EQ(copy.status, 0) << copy.out;
    ShellResult verify = Shell("systemd-analyze --man=no verify '" + staged + "'");
    EXPECT_EQ(verify.status, 0) << verify.out;
    EXPECT_EQ(verify.out, "");

    // Hardware mode's unit, one instance per adapter slot, writes only that adapter's window.
    const std::string hardware = root + "/kestatid-hardware@.service";
    ShellResult instance =
        Shell("sed 's|=/usr/local/sbin/|=" + root + "/usr/local/sbin/|' '" + root +
              "/usr/local/lib/systemd/system/kestatid-hardware@.service' > '" + hardware + "'");
    ASSERT_EQ(instance.status, 0) << instance.out;
    const std::string hardwareUnit = ReadText(hardware);
    for (const char* line :
         {"\nConflicts=kestatid.service\n", "\nCapabilityBoundingSet=CAP_SYS_ADMIN\n",
          "\nProtectKernelTunables=yes\n", "\nReadWritePaths=/sys/bus/pci/devices/%I/resource1\n",
          " --hardware --slot %I "}) {
        EXPECT_NE(hardwareUnit.find(line), std::string::npos) << line;
    }
    ShellResult verifyHardware = Shell("systemd-analyze --man=no verify '" + hardware + "'");
    EXPECT_EQ(verifyHardware.status, 0) << verifyHardware.out;
    EXPECT_EQ(verifyHardware.out, "");
}

TEST(Install, DesktopEntryIsValidAndStartsTheLauncher) {
    const std::string entry = KEST_PACKAGING_DIR "/zel.desktop";
    ShellResult valid = Shell("desktop-file-validate '" + entry + "'");
    EXPECT_EQ(valid.status, 0) << valid.out;
    EXPECT_EQ(valid.out, "");
    std::string text = ReadText(entry);
    EXPECT_NE(text.find("\nExec=/usr/local/libexec/kestati/zel-launch\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\nIcon=zel\n"), std::string::npos);
}

// The launcher finds zel beside its own installed place and starts it in the user's state
// directory, which it creates.
TEST(Install, LauncherStartsZelInTheStateDirectory) {
    kesttest::TempDir prefix;
    const std::string p = prefix.Path();
    ASSERT_EQ(Shell("mkdir -p '" + p + "/libexec/kestati' '" + p + "/bin' '" + p +
                    "/home' && cp '" + KEST_PACKAGING_DIR "/zel-launch' '" + p +
                    "/libexec/kestati/' && printf '#!/bin/sh\\npwd\\necho \"$@\"\\n' > '" + p +
                    "/bin/zel' && chmod +x '" + p + "/bin/zel'")
                  .status,
              0);
    struct Row {
        std::string env;
        std::string dir;
    };
    const Row rows[] = {
        {"XDG_STATE_HOME='" + p + "/state'", p + "/state/zel"},
        {"XDG_STATE_HOME= HOME='" + p + "/home'", p + "/home/.local/state/zel"},
    };
    for (const Row& row : rows) {
        ShellResult r =
            Shell("env " + row.env + " sh '" + p + "/libexec/kestati/zel-launch' a 'b c'");
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out, row.dir + "\na b c\n") << row.env;
    }
}

TEST(Install, ManualPagesRenderWithoutWarnings) {
    for (const char* page : {"kestatid.8", "kestctl.1", "zel.1"}) {
        const std::string path = std::string(KEST_SOURCE_DIR "/packaging/man/") + page;
        ShellResult warnings =
            Shell("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l '" + path + "' 2>&1 >/dev/null");
        EXPECT_EQ(warnings.status, 0) << page;
        EXPECT_EQ(warnings.out, "") << page;
        ShellResult text = Shell("LC_ALL=C.UTF-8 MANWIDTH=80 man -l '" + path + "' 2>/dev/null");
        EXPECT_NE(text.out.find("NAME"), std::string::npos) << page;
        EXPECT_NE(text.out.find("SEE ALSO"), std::string::npos) << page;
    }
}

std::string Complete(const std::string& words, int current) {
    ShellResult r = Shell("bash -c 'source " KEST_SOURCE_DIR
                          "/packaging/kestctl.bash-completion; COMP_WORDS=(" +
                          words + "); COMP_CWORD=" + std::to_string(current) +
                          "; _${COMP_WORDS[0]##*/}; echo \"${COMPREPLY[*]}\"'");
    return r.out;
}

TEST(Install, BashCompletesCommandsOptionsAndBoardNames) {
    struct Row {
        std::string words;
        int current;
        std::string expected;
    };
    const Row rows[] = {
        {"kestctl ''", 1, "info read watch clocks raw sim help --help\n"},
        {"kestctl clocks set 400 700 ''", 5, "--yes\n"},
        {"kestctl w", 1, "watch\n"},
        {"kestctl watch --format ''", 3, "table csv json\n"},
        {"kestctl watch --interval ''", 3, "\n"},
        {"kestctl watch --c", 2, "--count\n"},
        {"kestctl read ''", 2, "--json --help\n"},
        {"kestctl sim pin t", 3, "temp1 temp2 temp3\n"},
        {"kestctl sim chip ''", 3, "absent present\n"},
        {"kestatid --bo", 1, "--board\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Complete(row.words, row.current), row.expected) << row.words;
    }
    std::string boards;
    for (std::string_view name : sim::BoardNames()) {
        boards += (boards.empty() ? "" : " ") + std::string(name);
    }
    EXPECT_EQ(Complete(KESTATID_PATH " --board ''", 2), boards + "\n");
    EXPECT_EQ(Complete(KESTATID_PATH " --board 9800", 2), "9800pro 9800pro-b\n");
}

}  // namespace
