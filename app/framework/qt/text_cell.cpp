#include "app/framework/qt/text_cell.h"

#include <QByteArray>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QRawFont>

#include <algorithm>

namespace {

// The cell in the font's design units; zero where the font has no such table.
struct DesignCell {
    int ascent = 0;
    int descent = 0;
    int unitsPerEm = 0;
    bool Valid() const { return unitsPerEm > 0 && ascent + descent > 0; }
};

DesignCell DesignCellOf(const QFont& font) {
    static QHash<QString, DesignCell> known;
    const QString key = font.family() + QLatin1Char('/') + QString::number(font.weight()) +
                        QLatin1Char('/') + QString::number(font.italic() ? 1 : 0);
    if (const auto it = known.constFind(key); it != known.constEnd()) {
        return *it;
    }
    DesignCell cell;
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.isValid() ? raw.fontTable("OS/2") : QByteArray();
    constexpr int kWinAscent = 74;  // usWinAscent, then usWinDescent, big-endian
    if (os2.size() >= kWinAscent + 4) {
        const auto u16 = [&os2](int at) {
            return (static_cast<unsigned char>(os2[at]) << 8) |
                   static_cast<unsigned char>(os2[at + 1]);
        };
        cell = DesignCell{u16(kWinAscent), u16(kWinAscent + 2), static_cast<int>(raw.unitsPerEm())};
    }
    known.insert(key, cell);
    return cell;
}

int Scaled(int units, int pixels, int unitsPerEm) {
    return (units * pixels + unitsPerEm / 2) / unitsPerEm;
}

}  // namespace

TextCell CellOf(const QFont& font) {
    const DesignCell design = DesignCellOf(font);
    const int px = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    if (!design.Valid() || px <= 0) {
        const QFontMetrics fm(font);
        return TextCell{fm.ascent(), fm.descent()};
    }
    return TextCell{Scaled(design.ascent, px, design.unitsPerEm),
                    Scaled(design.descent, px, design.unitsPerEm)};
}

int EmForCellHeight(const QFont& font, int nCellHeight) {
    const DesignCell design = DesignCellOf(font);
    if (!design.Valid()) {
        QFont probe = font;
        probe.setPixelSize(100);
        const int cell = QFontMetrics(probe).height();
        return std::max(1, cell > 0 ? (nCellHeight * 100 + cell / 2) / cell : nCellHeight);
    }
    // The largest em whose cell does not come out taller than the height asked for.
    int em = nCellHeight * design.unitsPerEm / (design.ascent + design.descent) + 1;
    while (em > 1 && Scaled(design.ascent, em, design.unitsPerEm) +
                             Scaled(design.descent, em, design.unitsPerEm) >
                         nCellHeight) {
        --em;
    }
    return em;
}
