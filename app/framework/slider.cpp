#include "app/framework/controls.h"

#include <QSlider>

#include "app/framework/controls_internal.h"
#include "app/framework/dialog_template.h"
#include "app/framework/dialog_units.h"
#include "app/framework/wnd_internal.h"

namespace {

QSlider* SliderOf(const CWnd* w) {
    return qobject_cast<QSlider*>(w->GetSafeHwnd());
}

}  // namespace

QWidget* MakeTrackbar(const DialogItemTemplate& item, QWidget* parent) {
    const bool vertical = (item.dwStyle & TBS_VERT) != 0;
    auto* slider = new QSlider(vertical ? Qt::Vertical : Qt::Horizontal, parent);
    slider->setRange(0, 100);
    slider->setSingleStep(1);
    slider->setPageStep(20);
    slider->setTickPosition((item.dwStyle & TBS_NOTICKS) != 0 ? QSlider::NoTicks
                            : (item.dwStyle & TBS_BOTH) != 0  ? QSlider::TicksBothSides
                                                              : QSlider::TicksBelow);
    const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
    QObject::connect(slider, &QAbstractSlider::actionTriggered, slider, [slider, message](int a) {
        UINT code = TB_THUMBTRACK;
        switch (a) {
            case QAbstractSlider::SliderSingleStepAdd:
                code = TB_LINEDOWN;
                break;
            case QAbstractSlider::SliderSingleStepSub:
                code = TB_LINEUP;
                break;
            case QAbstractSlider::SliderPageStepAdd:
                code = TB_PAGEDOWN;
                break;
            case QAbstractSlider::SliderPageStepSub:
                code = TB_PAGEUP;
                break;
            case QAbstractSlider::SliderToMinimum:
                code = TB_TOP;
                break;
            case QAbstractSlider::SliderToMaximum:
                code = TB_BOTTOM;
                break;
            case QAbstractSlider::SliderMove:
                code = TB_THUMBTRACK;
                break;
            default:
                return;
        }
        const int pos = slider->sliderPosition();
        NotifyParentScroll(slider, message, code, code == TB_THUMBTRACK ? pos : 0);
        if (code != TB_THUMBTRACK) {
            NotifyParentScroll(slider, message, TB_ENDTRACK, 0);
        }
    });
    QObject::connect(slider, &QAbstractSlider::sliderReleased, slider, [slider, message]() {
        NotifyParentScroll(slider, message, TB_THUMBPOSITION, slider->sliderPosition());
        NotifyParentScroll(slider, message, TB_ENDTRACK, 0);
    });
    return slider;
}

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (m_hWnd || pParentWnd == nullptr || pParentWnd->GetSafeHwnd() == nullptr) {
        return FALSE;
    }
    DialogItemTemplate item{static_cast<int>(nID), kClassTrackbar, "", dwStyle, 0, 0, 0, 0, 0, 0};
    QWidget* w = CreateControlWidget(item, pParentWnd->GetSafeHwnd(), DialogBaseUnits{4, 8});
    w->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    AttachWidget(w);
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
