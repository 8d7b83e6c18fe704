#pragma once
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QStyle>

#include "display/DialogFont.h"

// A dialog template's size and positions are in dialog units: a quarter of the font's average
// character width across, an eighth of its height down. The average width is the platform's,
// that of the Latin letters (AverageCharWidth), not the font's own, which for a Japanese font is
// that of its full-width characters and would double every dialog's width.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font) : m_metrics(font), m_baseX(AverageCharWidth(font)) {}
    QRect Rect(int x, int y, int w, int h) const { return {X(x), Y(y), X(w), Y(h)}; }
    QSize Size(int w, int h) const { return {X(w), Y(h)}; }
    int X(int units) const { return units * m_baseX / 4; }
    int Y(int units) const { return units * m_metrics.height() / 8; }

private:
    QFontMetrics m_metrics;
    int m_baseX;
};

// Places a control at its template rectangle, grown where the font needs more room for its text:
// wider to the right, taller about the rectangle's middle. A button grows to its text, an edit
// field only in height (its text scrolls).
inline void PlaceInTemplate(QWidget& control, QRect rect) {
    QSize needed = control.sizeHint();
    if (qobject_cast<QLineEdit*>(&control) != nullptr) {
        needed.setWidth(0);
    } else if (auto* button = qobject_cast<QPushButton*>(&control)) {
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        needed.setWidth(button->fontMetrics().horizontalAdvance(button->text()) + 2 * margin);
    }
    if (needed.width() > rect.width())
        rect.setWidth(needed.width());
    if (needed.height() > rect.height()) {
        const int grow = needed.height() - rect.height();
        rect.adjust(0, -grow / 2, 0, grow - grow / 2);
    }
    control.setGeometry(rect);
}
