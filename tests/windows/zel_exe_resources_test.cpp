// ZEL.exe's resources as Windows loads them: every icon of the picture table at 16 and 32
// pixels, every bitmap as a 24-bit picture, each menu with its table's items in order, and a
// version block naming the product and the version its About box shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <string>

#include "app/framework/dialog_template.h"
#include "app/res/menus.h"
#include "app/res/resource_ids.h"

namespace {

const char* g_exe = nullptr;  // "Z:/..." under wine

TEST(ZelExeResources, PicturesMenusAndVersion) {
    HMODULE module = LoadLibraryExA(g_exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << g_exe;
    for (int nID : kProgramIcons) {
        for (int size : {16, 32}) {
            EXPECT_NE(LoadImageA(module, MAKEINTRESOURCEA(nID), IMAGE_ICON, size, size, 0), nullptr)
                << "icon " << nID << " at " << size;
        }
    }
    for (int nID : kProgramBitmaps) {
        HANDLE bitmap =
            LoadImageA(module, MAKEINTRESOURCEA(nID), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        DIBSECTION dib{};
        EXPECT_EQ(bitmap != nullptr ? GetObjectA(bitmap, sizeof dib, &dib) : 0, int{sizeof dib});
        EXPECT_EQ(dib.dsBmih.biBitCount, 24) << "bitmap " << nID;
    }
    for (const MenuTemplate& tmpl : kProgramMenus) {
        HMENU popup = GetSubMenu(LoadMenuA(module, MAKEINTRESOURCEA(tmpl.nID)), 0);
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(tmpl.nItems)) << "menu " << tmpl.nID;
        for (std::size_t i = 0; i < tmpl.nItems; ++i) {
            char text[128] = {};
            GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, tmpl.pItems[i].lpszText);
            EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(i)), tmpl.pItems[i].nID);
        }
    }

    int major = -1;
    int minor = -1;
    const DialogTemplate* about = FindDialogTemplate(IDD_ABOUT);
    for (std::size_t i = 0; about != nullptr && i < about->nItems; ++i) {
        sscanf(about->pItems[i].lpszText, "ZEL Version %d.%d", &major, &minor);
    }
    std::string block(GetFileVersionInfoSizeA(g_exe, nullptr), '\0');
    ASSERT_TRUE(GetFileVersionInfoA(g_exe, 0, block.size(), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    char* product = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(major << 16 | minor));
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\ProductName",
                               reinterpret_cast<LPVOID*>(&product), &length));
    EXPECT_STREQ(product, "ZEL");
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    g_exe = argc == 2 ? argv[1] : "ZEL.exe";
    return RUN_ALL_TESTS();
}
