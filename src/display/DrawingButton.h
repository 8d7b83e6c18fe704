#pragma once
#include <QPushButton>

#include "display/Drawable.h"

namespace VEK::MFC {

// A button painted as the style's push-button face in its state (hot, pushed, inactive; flat when
// the button is flat) with a content drawer centred on it, moved 1 pixel right and down while
// pressed; a disabled button shows its disabled-content drawer when it has one.
// Besides Qt's signals it reports what happens to it as notification codes: clicked, hover and
// leave, and (when asked for) press and release, which drive auto-repeating buttons.
class CDrawingButton : public QPushButton {
    Q_OBJECT
public:
    enum EKind { kPush, kCheck, kRadio, kThreeState };
    enum EState { kStateNormal, kStateHover, kStatePressed, kStateDisabled };
    enum ENotification {
        kClicked = 0,
        kDoubleClicked = 1,
        kHover = 2,
        kLeave = 3,
        kPressed = 0x100,
        kReleased = 0x101,
    };

    explicit CDrawingButton(QWidget* parent = nullptr, EKind kind = kPush);

    // A check box or radio button toggles its checked state on every click (radio buttons of one
    // parent exclude each other); a three-state button goes unchecked, checked, indeterminate.
    void SetKind(EKind kind);
    EKind Kind() const { return m_kind; }
    // 0 unchecked, 1 checked, 2 indeterminate.
    int CheckState() const { return m_checkState; }
    void SetCheckState(int state);
    void SetContentDrawer(const IDrawable& drawer);
    void SetDisabledDrawer(const IDrawable& drawer);
    // Press and release notifications besides the click.
    void SetPressNotify(bool on) { m_pressNotify = on; }
    // A double click is reported as its own notification.
    void SetDoubleClickNotify(bool on) { m_doubleClickNotify = on; }
    EState State() const;

    // The content's size plus the style's margins of a push button.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void notified(int code);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void nextCheckState() override;
    void checkStateSet() override;

private:
    unsigned FaceState() const;

    EKind m_kind = kPush;
    int m_checkState = 0;
    CDrawerHandle m_content;
    CDrawerHandle m_disabledContent;
    bool m_pressNotify = false;
    bool m_doubleClickNotify = false;
    bool m_hover = false;
    bool m_keyboardFocus = false;
};

}  // namespace VEK::MFC
