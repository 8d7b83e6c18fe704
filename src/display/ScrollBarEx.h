#pragma once
#include <QScrollBar>

namespace VEK::MFC {

// A scroll bar that applies every scroll request to its own position and then notifies its owner
// with `scrolled`, even when the position did not move (at an end, or an end-scroll). Owners react
// only to `scrolled` and read value(). Mouse, keyboard and wheel requests go the same way as
// requests made by the program with Scroll.
class CScrollBarEx : public QScrollBar {
    Q_OBJECT
public:
    enum ERequest {
        kLineUp = 0,
        kLineDown = 1,
        kPageUp = 2,
        kPageDown = 3,
        kThumbPosition = 4,
        kThumbTrack = 5,
        kTop = 6,
        kBottom = 7,
        kEndScroll = 8,
    };
    // The code of the owner's notification.
    static constexpr int kNotifyCode = 0x4001;

    explicit CScrollBarEx(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Line -1/+1 step, page -/+ page step, thumb to trackPosition, top the minimum, bottom the
    // maximum, end-scroll no move; clamped to the range; then `scrolled`.
    void Scroll(ERequest request, int trackPosition = 0);

signals:
    void scrolled(int code);

protected:
    // The style's bar with a thumb as clear as a desktop scroll bar's (grey on a light groove):
    // the style's own thumb, grey 247 on a 230 groove, all but vanishes.
    void paintEvent(QPaintEvent* event) override;

private:
    void OnAction(int action);

    bool m_applying = false;
};

}  // namespace VEK::MFC
