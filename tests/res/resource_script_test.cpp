// ZEL.rc as the Windows build writes it: every picture of the tables by kind, the menus from
// their table in order, and the version the About box shows.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/framework/dialog_template.h"
#include "app/res/menus.h"
#include "app/res/resource_ids.h"
#include "app/res/resource_script.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

int Count(const std::vector<std::string>& lines, const std::string& line) {
    int n = 0;
    for (const std::string& l : lines) {
        n += l == line ? 1 : 0;
    }
    return n;
}

TEST(ResourceScript, NamesEveryPictureOnceAsItsKind) {
    const std::vector<std::string> lines = Lines(ResourceScript());
    struct Kind {
        const char* keyword;
        const int* ids;
        std::size_t count;
        std::string (*file)(int);
        const char* extension;
    };
    const Kind kinds[] = {
        {"ICON", kProgramIcons, std::size(kProgramIcons), IconFileName, ".ico"},
        {"BITMAP", kProgramBitmaps, std::size(kProgramBitmaps), BitmapFileName, ".bmp"},
    };
    for (const Kind& kind : kinds) {
        for (std::size_t i = 0; i < kind.count; ++i) {
            const std::string id = std::to_string(kind.ids[i]);
            EXPECT_EQ(kind.file(kind.ids[i]), id + kind.extension);
            EXPECT_EQ(Count(lines, id + " " + kind.keyword + " \"" + id + kind.extension + "\""), 1)
                << kind.keyword << " " << id;
        }
    }
}

TEST(ResourceScript, MenusHoldTheirTableItemsInOrder) {
    const std::vector<std::string> lines = Lines(ResourceScript());
    for (const MenuTemplate& menu : kProgramMenus) {
        auto it = std::find(lines.begin(), lines.end(), std::to_string(menu.nID) + " MENU");
        ASSERT_NE(it, lines.end()) << menu.nID;
        ASSERT_GE(lines.end() - it, static_cast<std::ptrdiff_t>(menu.nItems + 6));
        EXPECT_EQ(it[2], "    POPUP \"\"");
        for (std::size_t i = 0; i < menu.nItems; ++i) {
            EXPECT_EQ(it[4 + i], std::string("        MENUITEM \"") + menu.pItems[i].lpszText +
                                     "\", " + std::to_string(menu.pItems[i].nID));
        }
        EXPECT_EQ(it[4 + menu.nItems], "    END");
    }
}

TEST(ResourceScript, VersionIsTheOneTheAboutBoxShows) {
    const DialogTemplate* about = FindDialogTemplate(IDD_ABOUT);
    ASSERT_NE(about, nullptr);
    int major = -1;
    int minor = -1;
    for (std::size_t i = 0; i < about->nItems; ++i) {
        std::sscanf(about->pItems[i].lpszText, "ZEL Version %d.%d", &major, &minor);
    }
    ASSERT_GE(major, 0) << "no version in the About box";
    const std::string numbers = std::to_string(major) + "," + std::to_string(minor) + ",0,0";
    const std::string dotted = std::to_string(major) + "." + std::to_string(minor) + ".0.0";
    const std::vector<std::string> lines = Lines(ResourceScript());
    for (const std::string& line : {"FILEVERSION " + numbers, "PRODUCTVERSION " + numbers,
                                    "            VALUE \"FileVersion\", \"" + dotted + "\"",
                                    "            VALUE \"ProductVersion\", \"" + dotted + "\"",
                                    std::string("            VALUE \"ProductName\", \"ZEL\"")}) {
        EXPECT_EQ(Count(lines, line), 1) << line;
    }
}

}  // namespace
