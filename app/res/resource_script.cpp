#include "app/res/resource_script.h"

#include <cstdio>

#include "app/res/menus.h"
#include "app/res/resource_ids.h"

namespace {

// The version block: ZEL 1.0, as its About box says.
constexpr int kVersion[4] = {1, 0, 0, 0};
constexpr const char* kVersionStrings[][2] = {
    {"FileDescription", "Pelagon Graphics Monitor"},
    {"FileVersion", "1.0.0.0"},
    {"InternalName", "ZEL"},
    {"OriginalFilename", "ZEL.exe"},
    {"ProductName", "ZEL"},
    {"ProductVersion", "1.0.0.0"},
};

// A string literal of the script: quotes doubled, as rc reads them.
std::string Quoted(const char* lpszText) {
    std::string out = "\"";
    for (const char* p = lpszText; *p != '\0'; ++p) {
        out += *p == '"' ? std::string("\"\"") : std::string(1, *p);
    }
    return out + "\"";
}

std::string Number(long long n) {
    return std::to_string(n);
}

std::string VersionNumbers() {
    return Number(kVersion[0]) + "," + Number(kVersion[1]) + "," + Number(kVersion[2]) + "," +
           Number(kVersion[3]);
}

}  // namespace

std::string IconFileName(int nID) {
    return Number(nID) + ".ico";
}

std::string BitmapFileName(int nID) {
    return Number(nID) + ".bmp";
}

std::string ResourceScript() {
    std::string rc = "// ZEL's resources, written by the build from the program's tables.\n\n";
    for (int nID : kProgramIcons) {
        rc += Number(nID) + " ICON " + Quoted(IconFileName(nID).c_str()) + "\n";
    }
    for (int nID : kProgramBitmaps) {
        rc += Number(nID) + " BITMAP " + Quoted(BitmapFileName(nID).c_str()) + "\n";
    }
    for (const MenuTemplate& menu : kProgramMenus) {
        rc += "\n" + Number(menu.nID) + " MENU\nBEGIN\n    POPUP \"\"\n    BEGIN\n";
        for (std::size_t i = 0; i < menu.nItems; ++i) {
            rc += "        MENUITEM " + Quoted(menu.pItems[i].lpszText) + ", " +
                  Number(menu.pItems[i].nID) + "\n";
        }
        rc += "    END\nEND\n";
    }
    // Fixed part: an application (VFT_APP) for 32-bit Windows (VOS_NT_WINDOWS32); the strings in
    // US English, Windows Latin-1.
    rc += "\n1 VERSIONINFO\nFILEVERSION " + VersionNumbers() + "\nPRODUCTVERSION " +
          VersionNumbers() +
          "\nFILEFLAGSMASK 0x3F\nFILEFLAGS 0\nFILEOS 0x40004\nFILETYPE 1\nFILESUBTYPE 0\n"
          "BEGIN\n    BLOCK \"StringFileInfo\"\n    BEGIN\n        BLOCK \"040904E4\"\n"
          "        BEGIN\n";
    for (const auto& entry : kVersionStrings) {
        rc += "            VALUE " + Quoted(entry[0]) + ", " + Quoted(entry[1]) + "\n";
    }
    rc +=
        "        END\n    END\n    BLOCK \"VarFileInfo\"\n    BEGIN\n"
        "        VALUE \"Translation\", 0x409, 1252\n    END\nEND\n";
    return rc;
}
