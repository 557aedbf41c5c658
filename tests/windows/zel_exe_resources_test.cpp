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

// Where the test finds the program: the path CTest passes ("Z:/..." under wine).
const char* g_exe = nullptr;

class ZelExeResources : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(g_exe, nullptr);
        m_module = LoadLibraryExA(g_exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr) << g_exe;
    }
    void TearDown() override {
        if (m_module != nullptr) {
            FreeLibrary(m_module);
        }
    }
    HMODULE m_module = nullptr;
};

TEST_F(ZelExeResources, EveryIconAtBothSizes) {
    for (int nID : kProgramIcons) {
        for (int size : {16, 32}) {
            HICON icon = static_cast<HICON>(
                LoadImageA(m_module, MAKEINTRESOURCEA(nID), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr) << nID << " at " << size;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP mask{};
            GetObjectA(info.hbmMask, sizeof mask, &mask);
            EXPECT_EQ(mask.bmWidth, size) << nID;
            DeleteObject(info.hbmMask);
            DeleteObject(info.hbmColor);
            DestroyIcon(icon);
        }
    }
}

TEST_F(ZelExeResources, EveryBitmapIs24Bit) {
    for (int nID : kProgramBitmaps) {
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageA(m_module, MAKEINTRESOURCEA(nID), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr) << nID;
        DIBSECTION dib{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib)) << nID;
        EXPECT_EQ(dib.dsBmih.biBitCount, 24) << nID;
        EXPECT_GT(dib.dsBm.bmWidth, 0) << nID;
        DeleteObject(bitmap);
    }
}

TEST_F(ZelExeResources, MenusHoldTheirTableItemsInOrder) {
    for (const MenuTemplate& tmpl : kProgramMenus) {
        HMENU menu = LoadMenuA(m_module, MAKEINTRESOURCEA(tmpl.nID));
        ASSERT_NE(menu, nullptr) << tmpl.nID;
        HMENU popup = GetSubMenu(menu, 0);
        ASSERT_NE(popup, nullptr) << tmpl.nID;
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(tmpl.nItems));
        for (std::size_t i = 0; i < tmpl.nItems; ++i) {
            char text[128] = {};
            GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, tmpl.pItems[i].lpszText);
            EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(i)), tmpl.pItems[i].nID);
        }
        DestroyMenu(menu);
    }
}

TEST(ZelExeVersion, ProductAndTheVersionTheAboutBoxShows) {
    const DialogTemplate* about = FindDialogTemplate(IDD_ABOUT);
    ASSERT_NE(about, nullptr);
    int major = -1;
    int minor = -1;
    for (std::size_t i = 0; i < about->nItems; ++i) {
        sscanf(about->pItems[i].lpszText, "ZEL Version %d.%d", &major, &minor);
    }
    ASSERT_GE(major, 0) << "no version in the About box";

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(g_exe, &handle);
    ASSERT_GT(size, 0u) << g_exe;
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(g_exe, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(major << 16 | minor));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    char* product = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\ProductName",
                               reinterpret_cast<LPVOID*>(&product), &length));
    EXPECT_STREQ(product, "ZEL");
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: zel_exe_resources_test [gtest options] ZEL.exe\n");
        return 2;
    }
    g_exe = argv[1];
    return RUN_ALL_TESTS();
}
