#include "app/controls/text_block.h"

#include <QFontMetrics>

#include <algorithm>

#include "app/framework/app.h"

namespace {

// Offset of a piece of length `inner` inside a span of length `outer` for an alignment code
// (0 start, 1 centre, 2 end). Integer division truncates toward zero, as the alignment always has.
int AlignedOffset(int code, int outer, int inner) {
    if (code == 1) {
        return (outer - inner) / 2;
    }
    if (code == 2) {
        return outer - inner;
    }
    return 0;
}

}  // namespace

void DrawAlignedText(QPainter& painter, const QString& text, const QRect& rect, int nHAlign,
                     bool bSingleLineVCentre) {
    const QFontMetrics fm = painter.fontMetrics();
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    if (bSingleLineVCentre) {
        const int x =
            rect.left() + AlignedOffset(nHAlign, rect.width(), fm.horizontalAdvance(text));
        const int y = rect.top() + (rect.height() - fm.height()) / 2;
        painter.drawText(QPoint(x, y + fm.ascent()), text);
    } else {
        // Every line feed starts a new line, empty ones included.
        const QStringList lines = text.split(QLatin1Char('\n'));
        int top = rect.top();
        for (const QString& line : lines) {
            const int x =
                rect.left() + AlignedOffset(nHAlign, rect.width(), fm.horizontalAdvance(line));
            painter.drawText(QPoint(x, top + fm.ascent()), line);
            top += fm.height();
        }
    }
    painter.restore();
}

CTextBlock::CTextBlock(QPainter* hdcTarget, const QString& strText, int nHAlign, int nVAlign)
    : m_hdcTarget(hdcTarget),
      m_rcBlock{0, 0, 0, 0},
      m_nHAlign(nHAlign),
      m_nVAlign(nVAlign),
      m_bEmboss(FALSE),
      m_strText(strText.toStdString()),
      m_crBack(GetSysColor(COLOR_BTNFACE)),
      m_crText(GetSysColor(COLOR_WINDOWTEXT)) {}

CTextBlock::~CTextBlock() {
    Release();
}

SIZE CTextBlock::Measure(QPainter* hdc, const QStringList& lines) {
    if (hdc == nullptr || lines.isEmpty()) {
        return SIZE{0, 0};
    }
    const QFontMetrics fm = hdc->fontMetrics();
    int width = 0;
    int height = 0;
    for (const QString& line : lines) {
        width = std::max(width, fm.horizontalAdvance(line));
        height = std::max(height, fm.height());
    }
    return SIZE{width, height};
}

BOOL CTextBlock::Build() {
    Release();
    if (m_hdcTarget == nullptr || !m_hdcTarget->isActive()) {
        return FALSE;
    }

    // Blank pieces between repeated, leading or trailing line feeds are not lines.
    const QStringList lines =
        QString::fromUtf8(m_strText.GetString()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const int n = static_cast<int>(lines.size());
    const SIZE extent = Measure(m_hdcTarget, lines);
    const int cw = extent.cx;
    const int ch = extent.cy;
    const int blockHeight = n * ch;
    // An empty text still gets an (invisible) image, so that Build succeeds and Draw copies
    // nothing.
    const int side = std::max({cw, blockHeight, 1});

    auto block = std::make_unique<QImage>(side, side, QImage::Format_RGB32);
    if (block->isNull()) {
        return FALSE;
    }

    {
        QPainter painter(block.get());
        if (!painter.isActive()) {
            return FALSE;
        }
        painter.setFont(m_hdcTarget->font());
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.fillRect(QRect(0, 0, cw, blockHeight), ColorFromRef(m_crBack));
        const QColor highlight = ColorFromRef(GetSysColor(COLOR_BTNHIGHLIGHT));
        const QColor shadow = ColorFromRef(GetSysColor(COLOR_BTNSHADOW));
        for (int i = 0; i < n; ++i) {
            const QRect band(0, i * ch, cw, ch);
            if (m_bEmboss) {
                // A light copy one pixel down-right behind a shadow-coloured line.
                painter.setPen(highlight);
                DrawAlignedText(painter, lines[i], band.translated(1, 1), m_nHAlign, true);
                painter.setPen(shadow);
            } else {
                painter.setPen(ColorFromRef(m_crText));
            }
            DrawAlignedText(painter, lines[i], band, m_nHAlign, true);
        }
    }

    m_hdcBlock = std::move(block);
    m_rcBlock = RECT{0, 0, cw, blockHeight};
    return TRUE;
}

int CTextBlock::Draw(int left, int top, int right, int bottom) {
    if (!m_hdcBlock || m_hdcTarget == nullptr) {
        return 0;
    }
    const int w = right - left;
    const int h = bottom - top;
    // Clipped, never scaled.
    const int bw = std::min(static_cast<int>(m_rcBlock.right - m_rcBlock.left), w);
    const int bh = std::min(static_cast<int>(m_rcBlock.bottom - m_rcBlock.top), h);
    if (bw <= 0 || bh <= 0) {
        return 1;
    }
    // The callers pass their client rectangle, which starts at 0, 0.
    const int x = AlignedOffset(m_nHAlign, w, bw);
    const int y = AlignedOffset(m_nVAlign, h, bh);
    m_hdcTarget->drawImage(QPoint(x, y), *m_hdcBlock, QRect(0, 0, bw, bh));
    return 1;
}

void CTextBlock::Release() {
    m_hdcBlock.reset();
    m_rcBlock = RECT{0, 0, 0, 0};
}
