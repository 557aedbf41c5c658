// The fan speed slider of the details dialog: which fan drive level (0 = stopped, 255 = full)
// each slider position sets, and where the slider stands for a drive level read back from the
// chip. One table per board family. No Qt.
#pragma once

#include "app/monitor/monitored_items.h"

// The slider's last position: 13 on the RADEON 9200, 9600 PRO and 9800 PRO boards, 15 otherwise.
// The first position is always 1.
int FanSliderMax(BoardKind kind);

// The drive level for a slider position; a position outside the slider's range drives the fan
// at full speed.
int PositionToFanDrive(BoardKind kind, int nPosition);

// The slider position for a drive level; levels below the board's slowest step give 0, which
// the slider shows as its first position.
int FanDriveToPosition(BoardKind kind, int nDrive);
