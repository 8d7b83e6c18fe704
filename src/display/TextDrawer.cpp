#include "display/TextDrawer.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <limits>

#include "display/DrawColor.h"

namespace VEK {

CTextDrawer::CTextDrawer(int width, int height, QFont font, uint32_t textColor, QString text, uint32_t format,
                         int leftMargin)
    : CNullDrawer(width, height),
      m_font(std::move(font)),
      m_textColor(textColor),
      m_text(std::move(text)),
      m_format(format),
      m_leftMargin(leftMargin) {}

int CTextDrawer::TextFlags() const {
    int flags = Qt::AlignLeft | Qt::AlignTop;
    if ((m_format & kWordBreak) != 0)
        flags |= Qt::TextWordWrap;
    if ((m_format & kSingleLine) != 0)
        flags |= Qt::TextSingleLine;
    return flags;
}

QSize CTextDrawer::MeasureText(const QString& text, int areaWidth) const {
    const QFontMetrics metrics(m_font);
    // Only the line-breaking flags matter for the size; the alignment flags place the box later.
    const QRect bounds(0, 0, (m_format & kWordBreak) != 0 ? areaWidth : std::numeric_limits<int>::max() / 2,
                       std::numeric_limits<int>::max() / 2);
    const QRect box = metrics.boundingRect(bounds, TextFlags(), text);
    return {box.width(), std::max(box.height(), metrics.height())};
}

QString CTextDrawer::ShownText() const {
    if ((m_format & (kEndEllipsis | kHashWhenCut)) == 0 || (m_format & kWordBreak) != 0)
        return m_text;
    const int areaWidth = std::max(0, Width() - m_leftMargin);
    if (MeasureText(m_text, areaWidth).width() <= areaWidth)
        return m_text;
    const QFontMetrics metrics(m_font);
    if ((m_format & kEndEllipsis) != 0)
        return metrics.elidedText(m_text, Qt::ElideRight, areaWidth, TextFlags());
    const int hash = std::max(1, metrics.horizontalAdvance(QLatin1Char('#')));
    return QString(areaWidth / hash, QLatin1Char('#'));
}

QRect CTextDrawer::TextBox(int x, int y) const {
    const QRect area = TextArea(x, y);
    const QSize size = MeasureText(ShownText(), area.width());
    int left = area.left();
    if ((m_format & kCentre) != 0)
        left += (area.width() - size.width()) / 2;
    else if ((m_format & kRight) != 0)
        // Too wide for the area, right-aligned text keeps its beginning: a cut "-103.5" must not
        // read "103.5".
        left += std::max(0, area.width() - size.width());
    int top = area.top();
    if ((m_format & kVCentre) != 0)
        top += (area.height() - size.height()) / 2;
    else if ((m_format & kBottom) != 0)
        top += area.height() - size.height();
    return QRect(QPoint(left, top), size);
}

void CTextDrawer::FitToText() {
    const QSize size = MeasureText(m_text, std::max(0, Width() - m_leftMargin));
    SetSize(m_leftMargin + size.width(), size.height());
}

void CTextDrawer::Draw(QPainter& painter, int x, int y) const {
    DrawText(painter, x, y);
}

void CTextDrawer::DrawText(QPainter& painter, int x, int y) const {
    const QString text = ShownText();
    if (text.isEmpty())
        return;
    const QRect box = TextBox(x, y);
    painter.save();
    painter.setFont(m_font);
    if (m_textColor == kDisabledColor) {
        // Embossed: a light copy one pixel down and right under the grey text.
        const QPalette palette = QApplication::palette();
        painter.setPen(palette.color(QPalette::Light));
        painter.drawText(box.translated(1, 1), TextFlags(), text);
        painter.setPen(palette.color(QPalette::Dark));
    } else if (m_textColor != kSurfaceColor) {
        painter.setPen(ToQColor(m_textColor));
    }
    painter.drawText(box, TextFlags(), text);
    painter.restore();
}

}  // namespace VEK
