#include "display/DrawingButton.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

#include "display/StandardPartsDrawer.h"

namespace VEK::MFC {

CDrawingButton::CDrawingButton(QWidget* parent, EKind kind) : QPushButton(parent) {
    setAttribute(Qt::WA_Hover);
    // Enter does nothing in the windows these buttons sit in: none is a default button.
    setAutoDefault(false);
    SetKind(kind);
    connect(this, &QAbstractButton::clicked, this, [this] { emit notified(kClicked); });
    connect(this, &QAbstractButton::pressed, this, [this] {
        if (m_pressNotify)
            emit notified(kPressed);
    });
    connect(this, &QAbstractButton::released, this, [this] {
        if (m_pressNotify)
            emit notified(kReleased);
        update();
    });
}

void CDrawingButton::SetKind(EKind kind) {
    m_kind = kind;
    setCheckable(kind != kPush);
    setAutoExclusive(kind == kRadio);
    SetCheckState(0);
}

void CDrawingButton::SetCheckState(int state) {
    m_checkState = m_kind == kThreeState ? state : std::min(state, 1);
    setChecked(m_checkState != 0);
    update();
}

void CDrawingButton::nextCheckState() {
    if (m_kind == kThreeState)
        SetCheckState((m_checkState + 1) % 3);
    else
        QPushButton::nextCheckState();
}

void CDrawingButton::checkStateSet() {
    // setChecked from outside, or an exclusive neighbour's check.
    if (isChecked() != (m_checkState != 0))
        m_checkState = isChecked() ? 1 : 0;
    QPushButton::checkStateSet();
}

void CDrawingButton::SetContentDrawer(const IDrawable& drawer) {
    m_content = drawer.Clone();
    updateGeometry();
    update();
}

void CDrawingButton::SetDisabledDrawer(const IDrawable& drawer) {
    m_disabledContent = drawer.Clone();
    update();
}

CDrawingButton::EState CDrawingButton::State() const {
    if (!isEnabled())
        return kStateDisabled;
    if (isDown())
        return kStatePressed;
    return m_hover ? kStateHover : kStateNormal;
}

unsigned CDrawingButton::FaceState() const {
    unsigned state = IPartsDrawable::kNormal;
    switch (State()) {
        case kStateDisabled:
            state = IPartsDrawable::kInactive;
            break;
        case kStatePressed:
            state = IPartsDrawable::kPushed;
            break;
        case kStateHover:
            state = IPartsDrawable::kHot;
            break;
        case kStateNormal:
            break;
    }
    if (m_checkState != 0)
        state |= IPartsDrawable::kChecked;
    if (isFlat())
        state |= IPartsDrawable::kFlat;
    return state;
}

QSize CDrawingButton::sizeHint() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    option.features &= ~QStyleOptionButton::AutoDefaultButton;
    const QSize content = m_content != nullptr ? m_content->Size() : QSize(0, 0);
    return style()->sizeFromContents(QStyle::CT_PushButton, &option, content, this);
}

void CDrawingButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const CStandardPartsDrawer parts(this);
    parts.DrawFrameControl(painter, rect(), IPartsDrawable::kFramePush, FaceState());
    const IDrawable* content =
        State() == kStateDisabled && m_disabledContent != nullptr ? m_disabledContent.get() : m_content.get();
    if (content != nullptr) {
        const QSize size = content->Size();
        const int shift = State() == kStatePressed ? 1 : 0;
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::ButtonText));
        content->Draw(painter, (width() - size.width()) / 2 + shift, (height() - size.height()) / 2 + shift);
    }
    if (hasFocus() && m_keyboardFocus)
        parts.DrawFocusRect(painter, rect().adjusted(3, 3, -3, -3));
}

void CDrawingButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    m_hover = true;
    update();
    emit notified(kHover);
}

void CDrawingButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    m_hover = false;
    update();
    emit notified(kLeave);
}

void CDrawingButton::hideEvent(QHideEvent* event) {
    // Qt keeps a hidden button down; a hidden button is released, as a disabled one is, so that
    // whatever the press started (an auto-repeat) ends.
    if (isDown()) {
        setDown(false);
        emit released();
    }
    m_hover = false;
    QPushButton::hideEvent(event);
}

void CDrawingButton::focusInEvent(QFocusEvent* event) {
    m_keyboardFocus = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QPushButton::focusInEvent(event);
}

void CDrawingButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_doubleClickNotify)
        emit notified(kDoubleClicked);
    QPushButton::mouseDoubleClickEvent(event);
}

void CDrawingButton::mouseReleaseEvent(QMouseEvent* event) {
    // Qt lets a button released outside go up without `released` when no move came first; the
    // release ends whatever the press started all the same.
    const bool wasDown = isDown();
    QPushButton::mouseReleaseEvent(event);
    if (wasDown && !isDown() && !hitButton(event->position().toPoint()))
        emit released();
}

}  // namespace VEK::MFC
