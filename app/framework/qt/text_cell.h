// A font's character cell as the system measures it, for the Qt back end's layout and text.
#pragma once

#include <QFont>

// The ascent and descent the font gives the system (its OS/2 "win" metrics), each rounded at
// the font's pixel size. Qt may measure from the typographic metrics instead, which for the
// dialog face is three pixels shorter at dialog size; dialog units, cell heights and text
// lines follow the system's cell so that both window systems lay a template out alike.
struct TextCell {
    int ascent = 0;
    int descent = 0;
    int Height() const { return ascent + descent; }
};

TextCell CellOf(const QFont& font);

// The pixel size (em) for a positive LOGFONT height, as the system maps it: the largest em
// whose cell is not taller than nCellHeight.
int EmForCellHeight(const QFont& font, int nCellHeight);
