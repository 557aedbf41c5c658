// What a screen reader calls the controls that show no text of their own: pictures, charts, the
// read-only clock boxes, and controls whose nearest label before them is not theirs.
#include <iterator>

#include "app/framework/dialog_template.h"
#include "app/res/resource_ids.h"

namespace {

const AccessibleNameEntry kNames[] = {
    {IDD_MAIN, IDC_BANNER, "Banner"},
    {IDD_MAIN, IDC_BOARD_PICTURE, "Board picture"},
    {IDD_MAIN, IDC_FEATURES_TEXT, "Product Features"},
    {IDD_MAIN, IDC_HELP_TEXT, "Help"},
    {IDD_MAIN, IDC_ENGINE_SCALE, "VPU SPEED scale"},
    {IDD_MAIN, IDC_ENGINE_BOX, "VPU SPEED"},
    {IDD_MAIN, IDC_MEMORY_SCALE, "MEMORY SPEED scale"},
    {IDD_MAIN, IDC_MEMORY_BOX, "MEMORY SPEED"},
    {IDD_MAIN, IDC_PRESET, "Clock presets"},
    {IDD_MAIN, IDC_FAN_PICTURE, "Fan speed status"},
    {IDD_MAIN, IDC_THERMOMETER_PICTURE, "VPU temperature status"},
    {IDD_MAIN, IDC_PANEL_CHART, "Fan speed and VPU temperature history"},
    {IDD_MAIN, IDC_LOGO, "Chip maker logo"},
    {IDD_CONFIRM_CLOCKS, IDC_CONFIRM_PICTURE, "Clock settings"},
    {IDD_HARDWARE_DETAILS, IDC_DETAILS_ITEMS, "ITEM:"},
    {IDD_HARDWARE_DETAILS, IDC_BANNER, "Banner"},
    {IDD_HARDWARE_DETAILS, IDC_DETAILS_CHART_AREA, "Large scale chart"},
    {IDD_HARDWARE_DETAILS, IDC_DETAILS_HINT_ICON, "Hint"},
    {IDD_HARDWARE_DETAILS, IDC_DETAILS_FAN_SLIDER, "Fan Speed Adjustment"},
    {IDD_LARGE_CHART, IDC_LARGE_CHART_AREA, "Large scale chart"},
};

[[maybe_unused]] const bool kNamesSet =
    (SetProgramAccessibleNames(kNames, std::size(kNames)), true);

}  // namespace
