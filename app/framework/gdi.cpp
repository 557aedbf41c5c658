#include "app/framework/gdi.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QPainter>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/framework/app.h"
#include "app/framework/wnd.h"
#include "app/framework/wnd_internal.h"

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
        // A cell height: scale the em so that ascent + descent comes to the height asked for.
        QFont probe = font;
        probe.setPixelSize(100);
        const int cell = QFontMetrics(probe).height();
        const int em = cell > 0 ? (lf.lfHeight * 100 + cell / 2) / cell : lf.lfHeight;
        font.setPixelSize(std::max(1, em));
    }
    font.setWeight(lf.lfWeight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
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
    const QByteArray face = font.family().toUtf8();
    std::strncpy(lf.lfFaceName, face.constData(), LF_FACESIZE - 1);
    return lf;
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) {
    if (lpLogFont == nullptr) {
        return FALSE;
    }
    m_font = FontFromLogFont(*lpLogFont);
    m_bCreated = TRUE;
    return TRUE;
}

BOOL CFont::CreatePointFont(int nPointSize10, LPCTSTR lpszFaceName) {
    m_font = DialogFont(lpszFaceName, 8);
    m_font.setPixelSize(std::max(1, MulDiv(nPointSize10, 96, 720)));
    m_bCreated = TRUE;
    return TRUE;
}

BOOL CFont::DeleteObject() {
    const BOOL had = m_bCreated;
    m_bCreated = FALSE;
    m_font = QFont();
    return had;
}

int CFont::GetLogFont(LOGFONT* pLogFont) const {
    if (pLogFont == nullptr || !m_bCreated) {
        return 0;
    }
    *pLogFont = LogFontFromFont(m_font);
    return static_cast<int>(sizeof(LOGFONT));
}

CPaintDC::CPaintDC(CWnd* pWnd) {
    QWidget* w = pWnd != nullptr ? WidgetOf(pWnd->GetSafeHwnd()) : nullptr;
    if (w == nullptr) {
        return;
    }
    m_painter = std::make_unique<QPainter>(w);
    if (const auto* frame = qobject_cast<const QFrame*>(w)) {
        const QRect client = frame->contentsRect();
        m_painter->setClipRect(client);
        m_painter->translate(client.topLeft());
    }
    m_painter->setFont(w->font());
    m_pPainter = m_painter.get();
}

CPaintDC::~CPaintDC() = default;
