// The program's drawings as Windows picture files, for the resources of its Windows build: the
// back end that draws them on Linux renders them here too, so both builds show the same pixels.
// Qt-free; made by the Qt back end and used only by the build's own resource tool.
#pragma once

#include "app/framework/win_types.h"

// A 24-bit bitmap of the drawing at its own size, laid over crBackground where it is not opaque.
bool WriteBitmapFile(const char* lpszSvgPath, COLORREF crBackground, const char* lpszBmpPath);
// An icon with one 32-bit image of each side length in pnSizes (square, with transparency).
bool WriteIconFile(const char* lpszSvgPath, const int* pnSizes, int nSizes,
                   const char* lpszIcoPath);
