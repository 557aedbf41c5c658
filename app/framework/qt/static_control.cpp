#include "app/framework/controls.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

#include <algorithm>

#include "app/framework/qt/app_qt.h"
#include "app/framework/qt/controls_internal.h"
#include "app/framework/dialog_template.h"
#include "app/framework/dialog_units.h"
#include "app/framework/qt/text_cell.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

// Statics are classes of their own, so that assistive technology asks the framework for their
// interface before Qt's own label interface.
class StaticLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // The system draws a static's first line with its baseline at the font's cell ascent, which
    // can lie below the ascent Qt measures: top-aligned text drops by the difference.
    void PlaceBaseline() {
        const int drop = (alignment() & Qt::AlignTop) != 0
                             ? CellOf(font()).ascent - QFontMetrics(font()).ascent()
                             : 0;
        setContentsMargins(0, std::max(0, drop), 0, 0);
    }

protected:
    void changeEvent(QEvent* event) override {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange) {
            PlaceBaseline();
        }
    }
};

// Picture statics show their image scaled into the control, keeping its proportions.
class PictureLabel : public QLabel {
    Q_OBJECT
public:
    PictureLabel(const QImage& image, QWidget* parent) : QLabel(parent), m_image(image) {}
    void SetImage(const QImage& image) {
        m_image = image;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_image.isNull()) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSize size = m_image.size().scaled(this->size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(QPoint(0, 0), size), m_image);
    }

private:
    QImage m_image;
};

}  // namespace

QWidget* MakeStatic(const DialogItemTemplate& item, QWidget* parent) {
    const DWORD type = item.dwStyle & SS_TYPEMASK;
    if (type == SS_BITMAP || type == SS_ICON) {
        return new PictureLabel(LoadBitmapResource(item.nImageID), parent);
    }
    if (type == SS_BLACKRECT || type == SS_GRAYRECT || type == SS_WHITERECT) {
        auto* frame = new QFrame(parent);
        QPalette pal = frame->palette();
        const QColor fill = type == SS_BLACKRECT  ? QColor(0, 0, 0)
                            : type == SS_GRAYRECT ? QColor(128, 128, 128)
                                                  : QColor(255, 255, 255);
        pal.setColor(QPalette::Window, fill);
        frame->setPalette(pal);
        frame->setAutoFillBackground(true);
        return frame;
    }
    auto* label = new StaticLabel(DisplayText(QString::fromUtf8(item.lpszText)), parent);
    label->setTextFormat(Qt::PlainText);
    Qt::Alignment h = Qt::AlignLeft;
    if (type == SS_CENTER) {
        h = Qt::AlignHCenter;
    } else if (type == SS_RIGHT) {
        h = Qt::AlignRight;
    }
    const Qt::Alignment v = (item.dwStyle & SS_CENTERIMAGE) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
    label->setAlignment(h | v);
    label->PlaceBaseline();
    label->setWordWrap(type != SS_LEFTNOWORDWRAP && (item.dwStyle & SS_CENTERIMAGE) == 0);
    if ((item.dwStyle & SS_SUNKEN) != 0) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    return label;
}

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                     UINT nID) {
    if (m_hWnd || pParentWnd == nullptr || pParentWnd->GetSafeHwnd() == nullptr) {
        return FALSE;
    }
    DialogItemTemplate item{static_cast<int>(nID),
                            kClassStatic,
                            lpszText != nullptr ? lpszText : "",
                            dwStyle,
                            0,
                            0,
                            0,
                            0,
                            0,
                            0};
    QWidget* w =
        CreateControlWidget(item, WidgetOf(pParentWnd->GetSafeHwnd()), DialogBaseUnits{4, 8});
    w->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    AttachWidget(HandleOf(w));
    return TRUE;
}

BOOL CStatic::SetBitmapResource(int nIDResource) {
    auto* picture = dynamic_cast<PictureLabel*>(WidgetOf(m_hWnd));
    if (picture == nullptr) {
        return FALSE;
    }
    const QImage image = LoadBitmapResource(nIDResource);
    picture->SetImage(image);
    return image.isNull() ? FALSE : TRUE;
}

#include "static_control.moc"
