#include "display/SpinArrows.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

CSpinArrows::CSpinArrows(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::ArrowCursor);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(kRepeatIntervalMs);
        emit repeated(m_direction);
    });
}

void CSpinArrows::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        const int direction = i == 0 ? 1 : -1;
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        if (m_direction == direction)
            button.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(2, 1, -2, -1);
        style()->drawPrimitive(direction > 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &arrow, &painter, this);
    }
}

void CSpinArrows::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    m_direction = event->position().y() < height() / 2.0 ? 1 : -1;
    update();
    m_repeat.start(kRepeatDelayMs);
    emit pressed(m_direction);
}

void CSpinArrows::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Release();
}

void CSpinArrows::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        Release();
    QWidget::changeEvent(event);
}

void CSpinArrows::Release() {
    if (m_direction == 0)
        return;
    m_repeat.stop();
    m_direction = 0;
    update();
    emit released();
}
