#include "app/controls/text_block.h"

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

// The lines of a text; blank pieces between repeated, leading or trailing line feeds are not
// lines.
std::vector<CString> SplitLines(const CString& text) {
    std::vector<CString> lines;
    int start = 0;
    while (start <= text.GetLength()) {
        int end = text.Find('\n', start);
        if (end < 0) {
            end = text.GetLength();
        }
        if (end > start) {
            lines.push_back(text.Mid(start, end - start));
        }
        start = end + 1;
    }
    return lines;
}

}  // namespace

CTextBlock::CTextBlock(CDC* hdcTarget, const CString& strText, int nHAlign, int nVAlign)
    : m_hdcTarget(hdcTarget),
      m_rcBlock{0, 0, 0, 0},
      m_nHAlign(nHAlign),
      m_nVAlign(nVAlign),
      m_bEmboss(FALSE),
      m_strText(strText),
      m_crBack(GetSysColor(COLOR_BTNFACE)),
      m_crText(GetSysColor(COLOR_WINDOWTEXT)) {}

CTextBlock::~CTextBlock() {
    Release();
}

SIZE CTextBlock::Measure(CDC* hdc, const std::vector<CString>& lines) {
    if (hdc == nullptr || lines.empty()) {
        return SIZE{0, 0};
    }
    int width = 0;
    int height = 0;
    for (const CString& line : lines) {
        const SIZE extent = hdc->GetTextExtent(line);
        width = std::max<int>(width, extent.cx);
        height = std::max<int>(height, extent.cy);
    }
    return SIZE{width, height};
}

BOOL CTextBlock::Build() {
    Release();
    if (m_hdcTarget == nullptr || m_hdcTarget->GetSafeHdc() == nullptr) {
        return FALSE;
    }

    const std::vector<CString> lines = SplitLines(m_strText);
    const int n = static_cast<int>(lines.size());
    const SIZE extent = Measure(m_hdcTarget, lines);
    const int cw = extent.cx;
    const int ch = extent.cy;
    const int blockHeight = n * ch;
    // An empty text still gets an (invisible) image, so that Build succeeds and Draw copies
    // nothing.
    const int side = std::max({cw, blockHeight, 1});

    CBitmap bmpWork;
    CDC dcWork;
    auto dcBlock = std::make_unique<CDC>();
    if (!bmpWork.CreateCompatibleBitmap(m_hdcTarget, side, side) ||
        !m_bmpBlock.CreateCompatibleBitmap(m_hdcTarget, side, side) ||
        !dcWork.CreateCompatibleDC(m_hdcTarget) || !dcBlock->CreateCompatibleDC(m_hdcTarget)) {
        m_bmpBlock.DeleteObject();
        return FALSE;
    }

    CBitmap* pOldWorkBitmap = dcWork.SelectObject(&bmpWork);
    CFont* pOldFont = dcWork.SelectObject(m_hdcTarget->GetCurrentFont());
    dcWork.SetBkMode(TRANSPARENT);
    CBrush brushBack(m_crBack);
    CBrush* pOldBrush = dcWork.SelectObject(&brushBack);
    dcBlock->SelectObject(&m_bmpBlock);
    const RECT rcBlock{0, 0, cw, blockHeight};
    dcWork.FillRect(&rcBlock, &brushBack);
    dcBlock->FillRect(&rcBlock, &brushBack);
    dcWork.SetTextColor(m_crText);

    const UINT nFormat = static_cast<UINT>(m_nHAlign) | DT_VCENTER | DT_SINGLELINE;
    for (int i = 0; i < n; ++i) {
        RECT band{0, i * ch, cw, (i + 1) * ch};
        if (m_bEmboss) {
            // A light copy one pixel down-right behind a shadow-coloured line.
            dcWork.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
            RECT shifted{band.left + 1, band.top + 1, band.right + 1, band.bottom + 1};
            dcWork.DrawText(lines[static_cast<size_t>(i)], &shifted, nFormat);
            dcWork.SetTextColor(GetSysColor(COLOR_BTNSHADOW));
        }
        dcWork.DrawText(lines[static_cast<size_t>(i)], &band, nFormat);
    }
    dcBlock->BitBlt(0, 0, cw, blockHeight, &dcWork, 0, 0, SRCCOPY);

    dcWork.SelectObject(pOldBrush);
    dcWork.SelectObject(pOldFont);
    dcWork.SelectObject(pOldWorkBitmap);
    m_hdcBlock = std::move(dcBlock);
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
    return m_hdcTarget->BitBlt(x, y, bw, bh, m_hdcBlock.get(), 0, 0, SRCCOPY);
}

void CTextBlock::Release() {
    m_hdcBlock.reset();
    m_bmpBlock.DeleteObject();
    m_rcBlock = RECT{0, 0, 0, 0};
}
