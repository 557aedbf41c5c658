// Dialog-unit conversion and the template data, Qt-free.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/framework/dialog_units.h"
#include "app/framework/dialog_template.h"

namespace {

TEST(MulDiv, RoundsHalfAwayFromZeroAndRefusesZeroDivisor) {
    struct Row {
        int a, b, c, expected;
    };
    const Row rows[] = {
        {10, 6, 4, 15},   {1, 6, 4, 2},     {1, 7, 4, 2},   {3, 7, 4, 5},  // 1.5 -> 2, 5.25 -> 5
        {5, 13, 8, 8},    {3, 13, 8, 5},    {-1, 6, 4, -2}, {7, 13, 8, 11},
        {259, 7, 4, 453}, {65, 16, 8, 130}, {1, 1, 0, -1},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(MulDiv(r.a, r.b, r.c), r.expected) << r.a << "*" << r.b << "/" << r.c;
    }
}

TEST(DialogUnits, AverageWidthRoundsTheHalfLetter) {
    // The 52-letter extent averaged and rounded to the nearest pixel, halves up.
    const int rows[][2] = {{312, 6}, {337, 6}, {338, 7}, {363, 7}, {285, 5}, {286, 6}};
    for (const auto& r : rows) {
        EXPECT_EQ(AverageCharWidth(r[0]), r[1]) << r[0];
    }
}

TEST(DialogUnits, PositionAndSizeAreConvertedEachOnItsOwn) {
    // As the system's dialog manager places a template's control: the position and the size are
    // each rounded, so the far edge is the rounded position plus the rounded size.
    struct Row {
        int x, y, cx, cy;
        DialogBaseUnits units;
        RECT expected;
    };
    const Row rows[] = {
        {105, 40, 50, 15, {6, 13}, {158, 65, 233, 89}},
        {79, 7, 171, 25, {6, 13}, {119, 11, 376, 52}},
        {0, 0, 259, 65, {6, 13}, {0, 0, 389, 106}},
        {0, 0, 259, 65, {7, 16}, {0, 0, 453, 130}},
        {10, 40, 85, 15, {7, 16}, {18, 80, 167, 110}},
        {1, 1, 1, 1, {5, 11}, {1, 1, 2, 2}},
    };
    for (const Row& r : rows) {
        const RECT rc = MapDialogItemRect(r.x, r.y, r.cx, r.cy, r.units);
        EXPECT_EQ(rc.left, r.expected.left) << r.x << "," << r.y;
        EXPECT_EQ(rc.top, r.expected.top) << r.x << "," << r.y;
        EXPECT_EQ(rc.right, r.expected.right) << r.x << "," << r.y;
        EXPECT_EQ(rc.bottom, r.expected.bottom) << r.x << "," << r.y;
    }
}

TEST(DialogTemplates, ConfirmDialogIsLaidOutAsDesigned) {
    const DialogTemplate* t = FindDialogTemplate(135);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->lpszCaption, "Pelagon System Monitor");
    EXPECT_STREQ(t->lpszFontName, "Tahoma");
    EXPECT_EQ(t->nPointSize, 10);
    EXPECT_EQ(t->cx, 259);
    EXPECT_EQ(t->cy, 65);
    EXPECT_EQ(t->dwStyle & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);

    struct Row {
        int id;
        const char* cls;
        const char* text;
        short x, y, cx, cy;
    };
    const Row rows[] = {
        {IDOK, kClassButton, "OK", 105, 40, 50, 15},
        {IDCANCEL, kClassButton, "Cancel", 180, 40, 50, 15},
        {1024, kClassStatic, "", 10, 40, 85, 15},
        {1025, kClassStatic,
         "Your Settings has been changed, do you wang \r\nto keep the settings?", 79, 7, 171, 25},
        {1038, kClassStatic, "", 6, 6, 58, 19},
    };
    ASSERT_EQ(t->nItems, std::size(rows));
    for (std::size_t i = 0; i < t->nItems; ++i) {
        const DialogItemTemplate& item = t->pItems[i];
        EXPECT_EQ(item.nID, rows[i].id);
        EXPECT_STREQ(item.lpszClass, rows[i].cls);
        EXPECT_STREQ(item.lpszText, rows[i].text);
        EXPECT_EQ(item.x, rows[i].x);
        EXPECT_EQ(item.y, rows[i].y);
        EXPECT_EQ(item.cx, rows[i].cx);
        EXPECT_EQ(item.cy, rows[i].cy);
    }
    EXPECT_EQ(t->FindItem(IDOK)->dwStyle & (BS_TYPEMASK | WS_TABSTOP),
              BS_DEFPUSHBUTTON | WS_TABSTOP);
    EXPECT_EQ(t->FindItem(IDCANCEL)->dwStyle & WS_TABSTOP, WS_TABSTOP);
    EXPECT_EQ(t->FindItem(1038)->dwStyle & SS_TYPEMASK, SS_BITMAP);
    EXPECT_EQ(t->FindItem(1038)->nImageID, 143);
    EXPECT_EQ(FindDialogTemplate(4242), nullptr);
}

}  // namespace

namespace {

struct ItemRow {
    int id;
    const char* text;
    short x, y, cx, cy;
};

void ExpectItems(const DialogTemplate& t, const std::vector<ItemRow>& rows) {
    ASSERT_EQ(t.nItems, rows.size()) << t.nID;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DialogItemTemplate& item = t.pItems[i];
        EXPECT_EQ(item.nID, rows[i].id) << t.nID << " item " << i;
        EXPECT_STREQ(item.lpszText, rows[i].text) << t.nID << " item " << i;
        EXPECT_EQ(item.x, rows[i].x) << rows[i].id;
        EXPECT_EQ(item.y, rows[i].y) << rows[i].id;
        EXPECT_EQ(item.cx, rows[i].cx) << rows[i].id;
        EXPECT_EQ(item.cy, rows[i].cy) << rows[i].id;
    }
}

TEST(DialogTemplates, LargeChartHasOnlyItsChartPlaceAndThreeLabels) {
    const DialogTemplate* t = FindDialogTemplate(165);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->lpszCaption, "ZEL");
    EXPECT_EQ(t->cx, 135);
    EXPECT_EQ(t->cy, 125);
    ExpectItems(*t, {{1083, "", 3, 2, 110, 117},
                     {1084, "", 113, 0, 21, 9},
                     {1085, "", 113, 57, 21, 9},
                     {1086, "", 113, 113, 21, 9}});
    EXPECT_EQ(t->FindItem(1083)->dwStyle & SS_TYPEMASK, SS_BLACKRECT);
    EXPECT_EQ(t->FindItem(IDCANCEL), nullptr);  // closed by the close box or Escape only
}

TEST(DialogTemplates, HardwareDetailsInTemplateOrder) {
    const DialogTemplate* t = FindDialogTemplate(158);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->lpszCaption, "Pelagon Graphics Monitor");
    EXPECT_EQ(t->cx, 359);
    EXPECT_EQ(t->cy, 236);
    ExpectItems(*t,
                {{1020, "", 14, 100, 91, 36},
                 {1045, "ITEM:", 10, 87, 28, 9},
                 {1067, "", 129, 131, 204, 49},
                 {1068, "HARDWARE DETAILS", 221, 81, 135, 16},
                 {1069, "Description:", 118, 95, 48, 12},
                 {1070, "", 147, 104, 194, 25},
                 {1096, "", 132, 197, 20, 20},
                 {1072,
                  "       Click  the hardware item you want to monitor in list box. Then you can "
                  "see the current value and the recent changes from the curve chart.",
                  153, 201, 187, 27},
                 {1073, "RPM", 23, 154, 80, 15},
                 {IDC_STATIC, "current value", 14, 142, 53, 8},
                 {IDC_STATIC, "safe range", 14, 172, 53, 8},
                 {1075, "", 22, 184, 80, 16},
                 {1079, "", 333, 174, 23, 9},
                 {1080, "", 333, 152, 23, 9},
                 {1081, "", 333, 128, 23, 9},
                 {1082, "Item Value is SAFE now!", 13, 200, 106, 8},
                 {IDC_STATIC, "Click Chart to see large scale", 13, 210, 106, 9},
                 {1088, "( UNIT:  C )", 269, 181, 64, 8},
                 {1036, "", 1, 0, 357, 78},
                 {1092, "beep test", 13, 222, 97, 7},
                 {1046, "", 179, 201, 136, 12},
                 {1095, "Fan Speed Adjustment", 130, 189, 80, 8},
                 {1097, "Fastest", 317, 207, 30, 9},
                 {1098, "Noiseless", 145, 207, 33, 9},
                 {1099, "Drag the slider to control fan speed manually.", 152, 219, 177, 10},
                 {1102, "Stop the Fan", 236, 190, 63, 7},
                 {1103, "Disable fan auto-control", 236, 190, 92, 7}});
    EXPECT_EQ(t->FindItem(1020)->dwStyle & (LBS_SORT | LBS_NOTIFY), LBS_SORT | LBS_NOTIFY);
    EXPECT_EQ(t->FindItem(1067)->dwStyle & SS_NOTIFY, SS_NOTIFY);
    EXPECT_EQ(t->FindItem(1068)->dwStyle & SS_TYPEMASK, SS_RIGHT);
    EXPECT_EQ(t->FindItem(1088)->dwStyle & SS_TYPEMASK, SS_RIGHT);
    EXPECT_EQ(t->FindItem(1096)->nImageID, 164);
    EXPECT_EQ(t->FindItem(1102)->dwStyle & BS_TYPEMASK, BS_AUTOCHECKBOX);
}

}  // namespace
