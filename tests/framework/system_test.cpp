// System colours on the application palette and the dialog font.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>

#include "app/framework/framework.h"
#include "app/framework/qt/app_qt.h"
#include "app/framework/qt/gdi_qt.h"
#include "app/framework/qt/text_cell.h"
#include "tests/framework/test_dialogs.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

TEST(SysColors, ButtonFaceAndWindowTextDriveTheWholePalette) {
    const COLORREF oldFace = GetSysColor(COLOR_BTNFACE);
    const COLORREF oldText = GetSysColor(COLOR_WINDOWTEXT);

    const int elements[] = {COLOR_BTNFACE, COLOR_WINDOWTEXT};
    const COLORREF values[] = {0x00C8D0D4, RGB(10, 20, 30)};
    ASSERT_TRUE(SetSysColors(2, elements, values));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0x00C8D0D4u);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(10, 20, 30));
    const QPalette pal = QApplication::palette();
    EXPECT_EQ(pal.color(QPalette::Button), QColor(212, 208, 200));
    EXPECT_EQ(pal.color(QPalette::Window), QColor(212, 208, 200));
    EXPECT_EQ(pal.color(QPalette::WindowText), QColor(10, 20, 30));

    // A window made now, and one that already existed, both use it.
    QLabel existing;
    RegisterDialogTemplate(&kTestDialog);
    CDialog dlg(kTestTemplate);
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    EXPECT_EQ(WidgetOf(dlg.GetDlgItemHwnd(12))->palette().color(QPalette::Window),
              QColor(212, 208, 200));
    EXPECT_EQ(existing.palette().color(QPalette::WindowText), QColor(10, 20, 30));
    dlg.DestroyWindow();
    RegisterDialogTemplate(nullptr);

    const COLORREF restore[] = {oldFace, oldText};
    ASSERT_TRUE(SetSysColors(2, elements, restore));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), oldFace);
    EXPECT_EQ(QApplication::palette().color(QPalette::Button), ColorFromRef(oldFace));
    EXPECT_FALSE(SetSysColors(1, nullptr, restore));
}

TEST(Framework, FusionStyleAndTheTahomaMetricDialogFont) {
    EXPECT_EQ(QApplication::style()->name().toLower(), QString("fusion"));
    const QString family = LoadDialogFont();
    if (QFile::exists("/usr/share/wine/fonts/tahoma.ttf")) {
        EXPECT_EQ(family, QString("Tahoma"));
    } else {
        EXPECT_EQ(family, QString("DejaVu Sans"));
    }
    const QFont font = DialogFont("Tahoma", 10);
    EXPECT_EQ(QFontInfo(font).family(), family);
    EXPECT_EQ(font.pixelSize(), 13);  // 10 points at 96 pixels per inch
    // A face nobody has falls back to the dialog face.
    EXPECT_EQ(QFontInfo(DialogFont("No Such Face", 8)).family(), family);
}

TEST(Framework, DialogIsSizedFromItsFontsBaseUnits) {
    RegisterDialogTemplate(&kTestDialog);
    CDialog dlg(kTestTemplate);
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    const QFontMetrics fm(DialogFont("Tahoma", 10));
    const DialogBaseUnits units{AverageCharWidth(fm.horizontalAdvance(
                                    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
                                CellOf(DialogFont("Tahoma", 10)).Height()};
    RECT client{};
    dlg.GetClientRect(&client);
    EXPECT_EQ(client.right, MulDiv(200, units.cx, 4));
    EXPECT_EQ(client.bottom, MulDiv(100, units.cy, 8));
    const QRect go = WidgetOf(dlg.GetDlgItemHwnd(10))->geometry();
    const RECT expected = MapDialogItemRect(130, 80, 50, 14, units);
    EXPECT_EQ(go, QRect(expected.left, expected.top, expected.right - expected.left,
                        expected.bottom - expected.top));
    RECT mapped{130, 80, 180, 94};
    dlg.MapDialogRect(&mapped);
    EXPECT_EQ(mapped.left, expected.left);
    EXPECT_EQ(mapped.bottom, expected.bottom);
    dlg.DestroyWindow();
    RegisterDialogTemplate(nullptr);
}

}  // namespace
