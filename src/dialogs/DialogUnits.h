#pragma once
#include <QFontMetrics>
#include <QRect>

// A dialog template's size and positions are in dialog units: a quarter of the font's average
// character width across, an eighth of its height down.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font) : m_metrics(font) {}
    QRect Rect(int x, int y, int w, int h) const { return {X(x), Y(y), X(w), Y(h)}; }
    QSize Size(int w, int h) const { return {X(w), Y(h)}; }
    int X(int units) const { return units * m_metrics.averageCharWidth() / 4; }
    int Y(int units) const { return units * m_metrics.height() / 8; }

private:
    QFontMetrics m_metrics;
};
