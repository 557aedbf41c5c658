#include "app/framework/controls.h"

#include <QKeyEvent>
#include <QSlider>

#include <limits>
#include <utility>

#include "app/framework/qt/controls_internal.h"
#include "app/framework/dialog_template.h"
#include "app/framework/dialog_units.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

QSlider* SliderOf(const CWnd* w) {
    return qobject_cast<QSlider*>(WidgetOf(w->GetSafeHwnd()));
}

constexpr int kNoActionPos = std::numeric_limits<int>::min();

// A trackbar takes its keys as Windows does: Left and Up step down, Right and Down step up,
// Page Up pages down and Page Down pages up, Home and End go to the ends.
class Trackbar : public QSlider {
public:
    Trackbar(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {}

    // The position the last scroll action left, so that the value change it causes is not taken
    // for a change made from outside (an assistive tool's new value).
    int m_nActionPos = kNoActionPos;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        SliderAction action = SliderNoAction;
        switch (event->key()) {
            case Qt::Key_Left:
            case Qt::Key_Up:
                action = SliderSingleStepSub;
                break;
            case Qt::Key_Right:
            case Qt::Key_Down:
                action = SliderSingleStepAdd;
                break;
            case Qt::Key_PageUp:
                action = SliderPageStepSub;
                break;
            case Qt::Key_PageDown:
                action = SliderPageStepAdd;
                break;
            case Qt::Key_Home:
                action = SliderToMinimum;
                break;
            case Qt::Key_End:
                action = SliderToMaximum;
                break;
            default:
                QSlider::keyPressEvent(event);
                return;
        }
        triggerAction(action);
        event->accept();
    }
};

UINT ScrollCode(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            return TB_LINEDOWN;
        case QAbstractSlider::SliderSingleStepSub:
            return TB_LINEUP;
        case QAbstractSlider::SliderPageStepAdd:
            return TB_PAGEDOWN;
        case QAbstractSlider::SliderPageStepSub:
            return TB_PAGEUP;
        case QAbstractSlider::SliderToMinimum:
            return TB_TOP;
        case QAbstractSlider::SliderToMaximum:
            return TB_BOTTOM;
        default:
            return TB_THUMBTRACK;
    }
}

}  // namespace

QWidget* MakeTrackbar(const DialogItemTemplate& item, QWidget* parent) {
    const bool vertical = (item.dwStyle & TBS_VERT) != 0;
    auto* slider = new Trackbar(vertical ? Qt::Vertical : Qt::Horizontal, parent);
    slider->setRange(0, 100);
    slider->setSingleStep(1);
    slider->setPageStep(20);
    slider->setTickPosition((item.dwStyle & TBS_NOTICKS) != 0 ? QSlider::NoTicks
                            : (item.dwStyle & TBS_BOTH) != 0  ? QSlider::TicksBothSides
                                                              : QSlider::TicksBelow);
    const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
    QObject::connect(slider, &QAbstractSlider::actionTriggered, slider, [slider, message](int a) {
        if (a == QAbstractSlider::SliderNoAction) {
            return;
        }
        const UINT code = ScrollCode(a);
        const int pos = slider->sliderPosition();
        slider->m_nActionPos = pos;
        NotifyParentScroll(slider, message, code, code == TB_THUMBTRACK ? pos : 0);
        if (code != TB_THUMBTRACK) {
            NotifyParentScroll(slider, message, TB_ENDTRACK, 0);
        }
    });
    QObject::connect(slider, &QAbstractSlider::sliderReleased, slider, [slider, message]() {
        NotifyParentScroll(slider, message, TB_THUMBPOSITION, slider->sliderPosition());
        NotifyParentScroll(slider, message, TB_ENDTRACK, 0);
    });
    // A value set from outside, as an assistive tool sets it, is the thumb put down there.
    QObject::connect(slider, &QAbstractSlider::valueChanged, slider, [slider, message](int v) {
        if (slider->isSliderDown() || v == std::exchange(slider->m_nActionPos, kNoActionPos)) {
            return;
        }
        NotifyParentScroll(slider, message, TB_THUMBPOSITION, v);
        NotifyParentScroll(slider, message, TB_ENDTRACK, 0);
    });
    return slider;
}

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (m_hWnd || pParentWnd == nullptr || pParentWnd->GetSafeHwnd() == nullptr) {
        return FALSE;
    }
    DialogItemTemplate item{static_cast<int>(nID), kClassTrackbar, "", dwStyle, 0, 0, 0, 0, 0, 0};
    QWidget* w =
        CreateControlWidget(item, WidgetOf(pParentWnd->GetSafeHwnd()), DialogBaseUnits{4, 8});
    w->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    AttachWidget(HandleOf(w));
    return TRUE;
}

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw) {
    if (QSlider* s = SliderOf(this)) {
        ProgrammaticChange quiet(s);
        s->setRange(nMin, nMax);
        if (bRedraw) {
            s->update();
        }
    }
}

void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw) {
    SetRange(nMin, GetRangeMax(), bRedraw);
}
void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw) {
    SetRange(GetRangeMin(), nMax, bRedraw);
}

void CSliderCtrl::GetRange(int& nMin, int& nMax) const {
    nMin = GetRangeMin();
    nMax = GetRangeMax();
}

int CSliderCtrl::GetRangeMin() const {
    QSlider* s = SliderOf(this);
    return s != nullptr ? s->minimum() : 0;
}

int CSliderCtrl::GetRangeMax() const {
    QSlider* s = SliderOf(this);
    return s != nullptr ? s->maximum() : 0;
}

int CSliderCtrl::GetPos() const {
    QSlider* s = SliderOf(this);
    // The thumb's position, also while a scroll notification is still on its way.
    return s != nullptr ? s->sliderPosition() : 0;
}

void CSliderCtrl::SetPos(int nPos) {
    if (QSlider* s = SliderOf(this)) {
        ProgrammaticChange quiet(s);
        s->setValue(nPos);
    }
}

void CSliderCtrl::SetTicFreq(int nFreq) {
    if (QSlider* s = SliderOf(this)) {
        s->setTickInterval(nFreq);
    }
}

int CSliderCtrl::GetLineSize() const {
    QSlider* s = SliderOf(this);
    return s != nullptr ? s->singleStep() : 0;
}

int CSliderCtrl::SetLineSize(int nSize) {
    QSlider* s = SliderOf(this);
    if (s == nullptr) {
        return 0;
    }
    const int old = s->singleStep();
    s->setSingleStep(nSize);
    return old;
}

int CSliderCtrl::GetPageSize() const {
    QSlider* s = SliderOf(this);
    return s != nullptr ? s->pageStep() : 0;
}

int CSliderCtrl::SetPageSize(int nSize) {
    QSlider* s = SliderOf(this);
    if (s == nullptr) {
        return 0;
    }
    const int old = s->pageStep();
    s->setPageStep(nSize);
    return old;
}
