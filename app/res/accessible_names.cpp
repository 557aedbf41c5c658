// What a screen reader calls the controls that show no text of their own: pictures, charts, the
// read-only clock boxes, and controls whose nearest label before them is not theirs.
#include <iterator>

#include "app/framework/dialog_template.h"

namespace {

constexpr UINT kMainDialog = 132;
constexpr UINT kConfirmDialog = 135;
constexpr UINT kDetailsDialog = 158;
constexpr UINT kLargeChartDialog = 165;

const AccessibleNameEntry kNames[] = {
    {kMainDialog, 1036, "Banner"},
    {kMainDialog, 1066, "Board picture"},
    {kMainDialog, 1008, "Product Features"},
    {kMainDialog, 1014, "Help"},
    {kMainDialog, 1034, "VPU SPEED scale"},
    {kMainDialog, 1009, "VPU SPEED"},
    {kMainDialog, 1035, "MEMORY SPEED scale"},
    {kMainDialog, 1013, "MEMORY SPEED"},
    {kMainDialog, 1019, "Clock presets"},
    {kMainDialog, 1064, "Fan speed status"},
    {kMainDialog, 1065, "VPU temperature status"},
    {kMainDialog, 100, "Fan speed and VPU temperature history"},
    {kMainDialog, 1039, "Chip maker logo"},
    {kConfirmDialog, 1038, "Clock settings"},
    {kDetailsDialog, 1020, "ITEM:"},
    {kDetailsDialog, 1036, "Banner"},
    {kDetailsDialog, 1067, "Large scale chart"},
    {kDetailsDialog, 1096, "Hint"},
    {kDetailsDialog, 1046, "Fan Speed Adjustment"},
    {kLargeChartDialog, 1083, "Large scale chart"},
};

[[maybe_unused]] const bool kNamesSet =
    (SetProgramAccessibleNames(kNames, std::size(kNames)), true);

}  // namespace
