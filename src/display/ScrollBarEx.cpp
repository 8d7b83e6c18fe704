#include "display/ScrollBarEx.h"

#include <QPainter>
#include <QStyleOptionSlider>

namespace VEK::MFC {

CScrollBarEx::CScrollBarEx(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {
    connect(this, &QAbstractSlider::actionTriggered, this, &CScrollBarEx::OnAction);
    connect(this, &QAbstractSlider::sliderReleased, this, [this] { Scroll(kEndScroll); });
}

void CScrollBarEx::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (!isEnabled() || minimum() == maximum())
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect thumb =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    if (thumb.isEmpty())
        return;
    QPainter painter(this);
    const bool pressed = isSliderDown();
    painter.setPen(QColor(150, 150, 150));
    painter.setBrush(pressed ? QColor(166, 166, 166) : QColor(195, 195, 195));
    painter.drawRect(thumb.adjusted(1, 1, -2, -2));
}

void CScrollBarEx::OnAction(int action) {
    if (m_applying)
        return;
    // Qt has moved the slider position already (clamped) and sets the value after this signal;
    // the value is set here so that the owner reads the new position with the notification.
    switch (action) {
        case SliderSingleStepSub:
            Scroll(kLineUp);
            break;
        case SliderSingleStepAdd:
            Scroll(kLineDown);
            break;
        case SliderPageStepSub:
            Scroll(kPageUp);
            break;
        case SliderPageStepAdd:
            Scroll(kPageDown);
            break;
        case SliderToMinimum:
            Scroll(kTop);
            break;
        case SliderToMaximum:
            Scroll(kBottom);
            break;
        case SliderMove:
            Scroll(isSliderDown() ? kThumbTrack : kThumbPosition, sliderPosition());
            break;
        default:
            break;
    }
}

void CScrollBarEx::Scroll(ERequest request, int trackPosition) {
    // From the value: during Qt's own action the slider position has moved already, the value not.
    const int current = value();
    int position = current;
    switch (request) {
        case kLineUp:
            position = current - singleStep();
            break;
        case kLineDown:
            position = current + singleStep();
            break;
        case kPageUp:
            position = current - pageStep();
            break;
        case kPageDown:
            position = current + pageStep();
            break;
        case kThumbPosition:
        case kThumbTrack:
            position = trackPosition;
            break;
        case kTop:
            position = minimum();
            break;
        case kBottom:
            position = maximum();
            break;
        case kEndScroll:
            break;
    }
    m_applying = true;
    setSliderPosition(std::clamp(position, minimum(), maximum()));
    setValue(sliderPosition());
    m_applying = false;
    emit scrolled(kNotifyCode);
}

}  // namespace VEK::MFC
