// GDI objects and device contexts over QPainter: a paint context draws with the window's painter,
// a memory context on the image of its selected bitmap. Drawing keeps GDI's rules where they
// differ from Qt's (a line leaves out its end point, hatches fill their background in opaque mode,
// blits are clipped to the source bitmap).
#include "app/framework/qt/gdi_qt.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/framework/qt/app_qt.h"
#include "app/framework/qt/text_cell.h"
#include "app/framework/wnd.h"

namespace {

GdiRecord* RecordOf(HGDIOBJ h) {
    return static_cast<GdiRecord*>(h);
}

HGDIOBJ GdiHandleOf(GdiRecord* record) {
    return static_cast<HGDIOBJ>(record);
}

template <typename T>
T* Record(const CGdiObject* object) {
    return object != nullptr ? dynamic_cast<T*>(RecordOf(object->m_hObject)) : nullptr;
}

QImage* ImageOf(CBitmap* bitmap) {
    HBITMAP__* record = Record<HBITMAP__>(bitmap);
    return record != nullptr && !record->image.isNull() ? &record->image : nullptr;
}

// A painter for one drawing call: the paint context's own (its state restored afterwards) or
// one opened on the memory context's bitmap.
class Surface {
public:
    Surface(HDC hdc, CBitmap* bitmap) {
        if (hdc == nullptr) {
            return;
        }
        if (hdc->painter) {
            m_painter = hdc->painter.get();
            m_painter->save();
            m_bSaved = true;
        } else if (QImage* image = ImageOf(bitmap)) {
            if (m_own.begin(image)) {
                m_painter = &m_own;
            }
        }
        if (m_painter != nullptr) {
            m_painter->setBackgroundMode(Qt::TransparentMode);
        }
    }
    ~Surface() {
        if (m_bSaved) {
            m_painter->restore();
        } else if (m_own.isActive()) {
            m_own.end();
        }
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    explicit operator bool() const { return m_painter != nullptr; }
    QPainter* operator->() const { return m_painter; }
    QPainter& operator*() const { return *m_painter; }

private:
    QPainter* m_painter = nullptr;
    QPainter m_own;
    bool m_bSaved = false;
};

Qt::BrushStyle HatchStyle(int nHatch) {
    switch (nHatch) {
        case HS_HORIZONTAL:
            return Qt::HorPattern;
        case HS_VERTICAL:
            return Qt::VerPattern;
        default:
            return Qt::CrossPattern;  // an 8 x 8 cell, as GDI's
    }
}

// Offset of a piece of length inner in a span of length outer for DT_LEFT, DT_CENTER, DT_RIGHT;
// the division truncates toward zero.
int AlignedOffset(UINT nFormat, int outer, int inner) {
    if ((nFormat & DT_CENTER) != 0) {
        return (outer - inner) / 2;
    }
    if ((nFormat & DT_RIGHT) != 0) {
        return outer - inner;
    }
    return 0;
}

QRect QtRect(const RECT& rc) {
    return QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Fonts and conversions.

LOGFONT GetStockLogFont(int /*nStockObject*/) {
    // The stock GUI font is the dialog face at 8 points: 11 pixels of character height.
    LOGFONT lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    const QByteArray face = LoadDialogFont().toUtf8();
    std::strncpy(lf.lfFaceName, face.constData(), LF_FACESIZE - 1);
    return lf;
}

QFont FontFromLogFont(const LOGFONT& lf) {
    QString face = QString::fromUtf8(lf.lfFaceName);
    if (face.isEmpty()) {
        face = LoadDialogFont();
    }
    QFont font = DialogFont(face.toUtf8().constData(), 8);
    if (lf.lfHeight < 0) {
        font.setPixelSize(-lf.lfHeight);
    } else if (lf.lfHeight > 0) {
        // A cell height: the em whose ascent + descent comes to the height asked for.
        font.setPixelSize(EmForCellHeight(font, lf.lfHeight));
    }
    font.setWeight(lf.lfWeight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    if (lf.lfQuality == NONANTIALIASED_QUALITY) {
        font.setStyleStrategy(QFont::NoAntialias);
    }
    return font;
}

LOGFONT LogFontFromFont(const QFont& font) {
    LOGFONT lf{};
    const int px = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    lf.lfHeight = -px;
    lf.lfWeight = font.bold() ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic() ? 1 : 0;
    lf.lfUnderline = font.underline() ? 1 : 0;
    lf.lfStrikeOut = font.strikeOut() ? 1 : 0;
    if ((font.styleStrategy() & QFont::NoAntialias) != 0) {
        lf.lfQuality = NONANTIALIASED_QUALITY;
    }
    const QByteArray face = font.family().toUtf8();
    std::strncpy(lf.lfFaceName, face.constData(), LF_FACESIZE - 1);
    return lf;
}

QFont QtFontOf(const CFont& font) {
    const HFONT__* record = Record<HFONT__>(&font);
    return record != nullptr ? record->font : QFont();
}

void SetQtFont(CFont& font, const QFont& qfont) {
    font.DeleteObject();
    auto* record = new HFONT__;
    record->font = qfont;
    font.Attach(GdiHandleOf(record));
}

COLORREF BrushColor(HBRUSH hBrush) {
    const auto* record = dynamic_cast<const HBRUSH__*>(RecordOf(hBrush));
    return record != nullptr ? record->cr : 0;
}

const QImage& QtImageOf(HBITMAP hBitmap) {
    static const QImage s_none;
    const auto* record = dynamic_cast<const HBITMAP__*>(RecordOf(hBitmap));
    return record != nullptr ? record->image : s_none;
}

HBITMAP BitmapFromImage(const QImage& image) {
    if (image.isNull()) {
        return nullptr;
    }
    auto* record = new HBITMAP__;
    record->image = image;
    return record;
}

// ---------------------------------------------------------------------------------------------
// Handles and objects.

int GetObject(HGDIOBJ hObject, int cbBuffer, LPVOID lpvObject) {
    GdiRecord* record = RecordOf(hObject);
    if (record == nullptr || lpvObject == nullptr) {
        return 0;
    }
    if (const auto* brush = dynamic_cast<const HBRUSH__*>(record)) {
        if (cbBuffer < static_cast<int>(sizeof(LOGBRUSH))) {
            return 0;
        }
        *static_cast<LOGBRUSH*>(lpvObject) =
            LOGBRUSH{brush->nStyle, brush->cr, static_cast<ULONG_PTR>(brush->nHatch)};
        return sizeof(LOGBRUSH);
    }
    if (const auto* bitmap = dynamic_cast<const HBITMAP__*>(record)) {
        if (cbBuffer < static_cast<int>(sizeof(BITMAP))) {
            return 0;
        }
        *static_cast<BITMAP*>(lpvObject) = BITMAP{0,
                                                  bitmap->image.width(),
                                                  bitmap->image.height(),
                                                  static_cast<LONG>(bitmap->image.bytesPerLine()),
                                                  1,
                                                  static_cast<WORD>(bitmap->image.depth()),
                                                  nullptr};
        return sizeof(BITMAP);
    }
    if (const auto* font = dynamic_cast<const HFONT__*>(record)) {
        if (cbBuffer < static_cast<int>(sizeof(LOGFONT))) {
            return 0;
        }
        *static_cast<LOGFONT*>(lpvObject) = LogFontFromFont(font->font);
        return sizeof(LOGFONT);
    }
    return 0;
}

BOOL DeleteObject(HGDIOBJ hObject) {
    if (hObject == nullptr) {
        return FALSE;
    }
    delete RecordOf(hObject);
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    HGDIOBJ h = Detach();
    return ::DeleteObject(h);
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    DeleteObject();
    auto* record = new HPEN__;
    record->nStyle = nPenStyle;
    record->nWidth = nWidth;
    record->cr = crColor;
    return Attach(GdiHandleOf(record));
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    DeleteObject();
    auto* record = new HBRUSH__;
    record->cr = crColor;
    return Attach(GdiHandleOf(record));
}

BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor) {
    DeleteObject();
    auto* record = new HBRUSH__;
    record->nStyle = BS_HATCHED;
    record->nHatch = nIndex;
    record->cr = crColor;
    return Attach(GdiHandleOf(record));
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) {
    if (lpLogFont == nullptr) {
        return FALSE;
    }
    SetQtFont(*this, FontFromLogFont(*lpLogFont));
    return TRUE;
}

BOOL CFont::CreatePointFont(int nPointSize10, LPCTSTR lpszFaceName) {
    QFont font = DialogFont(lpszFaceName, 8);
    font.setPixelSize(std::max(1, MulDiv(nPointSize10, 96, 720)));
    SetQtFont(*this, font);
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* /*pDC*/, int nWidth, int nHeight) {
    if (nWidth <= 0 || nHeight <= 0) {
        return FALSE;
    }
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    if (image.isNull()) {
        return FALSE;
    }
    image.fill(Qt::black);
    DeleteObject();
    return Attach(GdiHandleOf(BitmapFromImage(image)));
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    HBITMAP h = BitmapFromImage(LoadBitmapResource(static_cast<int>(nIDResource)));
    if (h == nullptr) {
        return FALSE;
    }
    DeleteObject();
    return Attach(GdiHandleOf(h));
}

// ---------------------------------------------------------------------------------------------
// Device contexts.

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    if (m_hDC != nullptr) {
        return FALSE;
    }
    m_hDC = new HDC__;
    if (pDC != nullptr && pDC->m_hDC != nullptr) {
        m_hDC->font = pDC->m_hDC->font;
    }
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) {
        return FALSE;
    }
    delete m_hDC;
    m_hDC = nullptr;
    m_pPen = nullptr;
    m_pBrush = nullptr;
    m_pFont = nullptr;
    m_pBitmap = nullptr;
    return TRUE;
}

CPen* CDC::SelectObject(CPen* pPen) {
    return std::exchange(m_pPen, pPen);
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    return std::exchange(m_pBrush, pBrush);
}

CFont* CDC::SelectObject(CFont* pFont) {
    return std::exchange(m_pFont, pFont);
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    return std::exchange(m_pBitmap, pBitmap);
}

COLORREF CDC::SetTextColor(COLORREF crColor) {
    m_bTextColorSet = TRUE;
    return std::exchange(m_crText, crColor);
}

COLORREF CDC::SetBkColor(COLORREF crColor) {
    m_bBkColorSet = TRUE;
    return std::exchange(m_crBack, crColor);
}

int CDC::SetBkMode(int nBkMode) {
    return std::exchange(m_nBkMode, nBkMode);
}

POINT CDC::MoveTo(int x, int y) {
    return std::exchange(m_ptCurrent, POINT{x, y});
}

BOOL CDC::LineTo(int x, int y) {
    const POINT from = std::exchange(m_ptCurrent, POINT{x, y});
    Surface painter(m_hDC, m_pBitmap);
    if (!painter) {
        return FALSE;
    }
    const HPEN__* pen = Record<HPEN__>(m_pPen);
    const QColor colour = ColorFromRef(pen != nullptr ? pen->cr : 0);
    const int width = pen != nullptr ? pen->nWidth : 1;
    if (width > 1) {
        // A wide pen has round ends, so that consecutive segments join without gaps.
        painter->setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawLine(from.x, from.y, x, y);
        return TRUE;
    }
    // A thin line covers every pixel from its start up to, not including, its end.
    if (from.y == y) {
        const int left = x >= from.x ? from.x : x + 1;
        painter->fillRect(QRect(left, y, std::abs(x - from.x), 1), colour);
        return TRUE;
    }
    const int dx = std::abs(x - from.x);
    const int dy = -std::abs(y - from.y);
    const int sx = from.x < x ? 1 : -1;
    const int sy = from.y < y ? 1 : -1;
    int err = dx + dy;
    int px = from.x;
    int py = from.y;
    QPolygon points;
    while (px != x || py != y) {
        points << QPoint(px, py);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            px += sx;
        }
        if (e2 <= dx) {
            err += dx;
            py += sy;
        }
    }
    painter->setPen(QPen(colour, 0));
    painter->drawPoints(points);
    return TRUE;
}

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) {
    const HBRUSH__* brush = Record<HBRUSH__>(pBrush);
    Surface painter(m_hDC, m_pBitmap);
    if (lpRect == nullptr || brush == nullptr || !painter) {
        return;
    }
    const QRect rect = QtRect(*lpRect);
    if (brush->nStyle != BS_HATCHED) {
        painter->fillRect(rect, ColorFromRef(brush->cr));
        return;
    }
    // A hatch draws only its lines; in opaque mode the background colour fills the rest.
    if (m_nBkMode == OPAQUE) {
        painter->fillRect(rect, ColorFromRef(m_crBack));
    }
    painter->fillRect(rect, QBrush(ColorFromRef(brush->cr), HatchStyle(brush->nHatch)));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor) {
    SetBkColor(crColor);
    Surface painter(m_hDC, m_pBitmap);
    if (painter) {
        painter->fillRect(QRect(x, y, cx, cy), ColorFromRef(crColor));
    }
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD dwRop) {
    QImage* source = pSrcDC != nullptr ? ImageOf(pSrcDC->m_pBitmap) : nullptr;
    if (source == nullptr || dwRop != SRCCOPY) {
        return FALSE;
    }
    // Only what lies inside the source bitmap is copied.
    const QRect from = QRect(xSrc, ySrc, nWidth, nHeight) & source->rect();
    if (from.isEmpty()) {
        return TRUE;
    }
    const QPoint to(x + from.x() - xSrc, y + from.y() - ySrc);
    // A blit of a bitmap onto itself reads the source before it is overwritten.
    const QImage* destination = m_hDC != nullptr && !m_hDC->painter ? ImageOf(m_pBitmap) : nullptr;
    const QImage part = destination == source ? source->copy(from) : QImage();
    Surface painter(m_hDC, m_pBitmap);
    if (!painter) {
        return FALSE;
    }
    if (!part.isNull()) {
        painter->drawImage(to, part);
    } else {
        painter->drawImage(to, *source, from);
    }
    return TRUE;
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, DWORD dwRop) {
    const QImage* source = pSrcDC != nullptr ? ImageOf(pSrcDC->m_pBitmap) : nullptr;
    Surface painter(m_hDC, m_pBitmap);
    if (source == nullptr || dwRop != SRCCOPY || !painter) {
        return FALSE;
    }
    painter->drawImage(QRect(x, y, nWidth, nHeight), *source,
                       QRect(xSrc, ySrc, nSrcWidth, nSrcHeight));
    return TRUE;
}

COLORREF CDC::GetPixel(int x, int y) const {
    const QImage* image = m_hDC != nullptr ? ImageOf(m_pBitmap) : nullptr;
    if (image == nullptr || !image->valid(x, y)) {
        return CLR_INVALID;
    }
    return RefFromColor(QColor::fromRgb(image->pixel(x, y)));
}

namespace {

// Font, colour and background of text drawn through a context.
void PrepareText(QPainter& painter, const QFont& font, COLORREF crText, COLORREF crBack,
                 int nBkMode) {
    painter.setFont(font);
    painter.setPen(ColorFromRef(crText));
    if (nBkMode == OPAQUE) {
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(ColorFromRef(crBack));
    }
}

}  // namespace

int CDC::DrawText(const CString& strText, LPRECT lpRect, UINT nFormat) {
    const QString str = ToQt(strText);
    Surface painter(m_hDC, m_pBitmap);
    if (lpRect == nullptr || !painter) {
        return 0;
    }
    PrepareText(*painter, m_pFont != nullptr ? QtFontOf(*m_pFont) : m_hDC->font, m_crText, m_crBack,
                m_nBkMode);
    const QFontMetrics fm = painter->fontMetrics();
    const TextCell cell = CellOf(painter->font());
    const QRect rect = QtRect(*lpRect);
    if ((nFormat & DT_NOCLIP) == 0) {
        painter->setClipRect(rect, Qt::IntersectClip);
    }
    if ((nFormat & DT_SINGLELINE) != 0) {
        int top = rect.top();
        if ((nFormat & DT_VCENTER) != 0) {
            top += (rect.height() - cell.Height()) / 2;
        } else if ((nFormat & DT_BOTTOM) != 0) {
            top = lpRect->bottom - cell.Height();
        }
        const int x = rect.left() + AlignedOffset(nFormat, rect.width(), fm.horizontalAdvance(str));
        painter->drawText(QPoint(x, top + cell.ascent), str);
        return cell.Height();
    }
    // Every line feed starts a new line, empty ones included; lines are a cell height apart, plus
    // the font's leading when asked for.
    const int step = cell.Height() + ((nFormat & DT_EXTERNALLEADING) != 0 ? fm.leading() : 0);
    int top = rect.top();
    for (const QString& line : str.split(QLatin1Char('\n'))) {
        const int x =
            rect.left() + AlignedOffset(nFormat, rect.width(), fm.horizontalAdvance(line));
        painter->drawText(QPoint(x, top + cell.ascent), line);
        top += step;
    }
    return top - rect.top();
}

BOOL CDC::TextOut(int x, int y, const CString& strText) {
    const QString str = ToQt(strText);
    Surface painter(m_hDC, m_pBitmap);
    if (!painter) {
        return FALSE;
    }
    PrepareText(*painter, m_pFont != nullptr ? QtFontOf(*m_pFont) : m_hDC->font, m_crText, m_crBack,
                m_nBkMode);
    painter->drawText(QPoint(x, y + CellOf(painter->font()).ascent), str);
    return TRUE;
}

SIZE CDC::GetTextExtent(const CString& str) const {
    if (m_hDC == nullptr) {
        return SIZE{0, 0};
    }
    const QFont font = m_pFont != nullptr ? QtFontOf(*m_pFont) : m_hDC->font;
    QPaintDevice* device = m_hDC->painter ? m_hDC->painter->device() : ImageOf(m_pBitmap);
    const QFontMetrics fm = device != nullptr ? QFontMetrics(font, device) : QFontMetrics(font);
    return SIZE{fm.horizontalAdvance(ToQt(str)), CellOf(font).Height()};
}

CPaintDC::CPaintDC(CWnd* pWnd) {
    QWidget* w = pWnd != nullptr ? WidgetOf(pWnd->GetSafeHwnd()) : nullptr;
    if (w == nullptr) {
        return;
    }
    m_hDC = new HDC__;
    m_hDC->painter = std::make_unique<QPainter>(w);
    QPainter& painter = *m_hDC->painter;
    if (const auto* frame = qobject_cast<const QFrame*>(w)) {
        const QRect client = frame->contentsRect();
        painter.setClipRect(client);
        painter.translate(client.topLeft());
    }
    painter.setFont(w->font());
    m_hDC->font = w->font();
}

CPaintDC::~CPaintDC() = default;
