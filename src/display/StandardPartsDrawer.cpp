#include "display/StandardPartsDrawer.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStyleOptionFrame>

namespace VEK::MFC {

QStyle* CStandardPartsDrawer::Style() const {
    return m_widget != nullptr ? m_widget->style() : QApplication::style();
}

void CStandardPartsDrawer::Prepare(QStyleOption& option, const QRect& rect, unsigned state) const {
    if (m_widget != nullptr)
        option.initFrom(m_widget);
    else
        option.palette = QApplication::palette();
    option.rect = rect;
    option.state = QStyle::State_None;
    if ((state & kInactive) == 0)
        option.state |= QStyle::State_Enabled;
    else
        option.palette.setCurrentColorGroup(QPalette::Disabled);
    if ((state & kHot) != 0)
        option.state |= QStyle::State_MouseOver;
}

void CStandardPartsDrawer::DrawEdge(QPainter& painter, const QRect& rect, EEdge edge) const {
    QStyleOptionFrame option;
    Prepare(option, rect, kNormal);
    option.lineWidth = EdgeSize();
    option.midLineWidth = 0;
    option.frameShape = QFrame::Panel;
    option.state |= edge == kEdgeSunken ? QStyle::State_Sunken : QStyle::State_Raised;
    Style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, m_widget);
}

void CStandardPartsDrawer::DrawFrameControl(QPainter& painter, const QRect& rect, EFrame frame,
                                            unsigned state) const {
    QStyleOptionButton option;
    if (frame == kFramePush) {
        Prepare(option, rect, state);
        const bool down = (state & (kPushed | kChecked)) != 0;
        option.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        if ((state & kChecked) != 0)
            option.state |= QStyle::State_On;
        // A flat face shows only while it is hot or pushed, and then as a full face.
        if ((state & kFlat) != 0 && !down && (state & kHot) == 0)
            return;
        Style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, m_widget);
        return;
    }
    const QRect box(rect.x() + (rect.width() - kCheckSize) / 2, rect.y() + (rect.height() - kCheckSize) / 2,
                    kCheckSize, kCheckSize);
    Prepare(option, box, state);
    option.state |= (state & kChecked) != 0 ? QStyle::State_On : QStyle::State_Off;
    if ((state & kPushed) != 0)
        option.state |= QStyle::State_Sunken;
    Style()->drawPrimitive(
        frame == kFrameCheck ? QStyle::PE_IndicatorCheckBox : QStyle::PE_IndicatorRadioButton, &option,
        &painter, m_widget);
}

void CStandardPartsDrawer::DrawFocusRect(QPainter& painter, const QRect& rect) const {
    QStyleOptionFocusRect option;
    Prepare(option, rect, kNormal);
    option.state |= QStyle::State_KeyboardFocusChange | QStyle::State_HasFocus;
    option.backgroundColor = option.palette.color(QPalette::Window);
    Style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, m_widget);
}

int CStandardPartsDrawer::EdgeSize() const {
    return std::max(1, Style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_widget));
}

}  // namespace VEK::MFC
