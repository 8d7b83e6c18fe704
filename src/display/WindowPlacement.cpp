#include "display/WindowPlacement.h"

void RestoreWindowPlacement(QWidget& window, const VEK::AccessorSection& section, bool resizable) {
    if (section.GetInteger("Valid", 0) == 0)
        return;
    int left = section.GetInteger("SX", 0);
    int top = section.GetInteger("SY", 0);
    int right = resizable ? section.GetInteger("EX", 100) : left + window.width();
    int bottom = resizable ? section.GetInteger("EY", 100) : top + window.height();
    // Compared as unsigned, so an inverted rectangle is as unacceptable as a huge one.
    uint32_t width = static_cast<uint32_t>(right - left);
    uint32_t height = static_cast<uint32_t>(bottom - top);
    if (width > 4000 || height > 4000)
        return;
    if (resizable) {
        window.setGeometry(left, top, static_cast<int>(width), static_cast<int>(height));
    } else {
        window.move(left, top);
    }
}

bool SaveWindowPlacement(const QWidget& window, const VEK::AccessorSection& section) {
    QRect r = (window.isMaximized() || window.isMinimized()) ? window.normalGeometry() : window.geometry();
    bool ok = section.SetInteger("Valid", 1);
    ok = section.SetInteger("SX", r.left()) && ok;
    ok = section.SetInteger("SY", r.top()) && ok;
    ok = section.SetInteger("EX", r.left() + r.width()) && ok;
    ok = section.SetInteger("EY", r.top() + r.height()) && ok;
    ok = section.SetInteger("Show", window.isVisible() ? 1 : 0) && ok;
    return ok;
}
