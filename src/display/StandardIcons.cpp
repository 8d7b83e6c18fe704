#include "display/StandardIcons.h"

#include <QGuiApplication>
#include <QPainterPath>
#include <QWidget>
#include <QWindow>

#include "display/DialogFont.h"
#include "display/PaintedIconEngine.h"

namespace {

constexpr qreal kGrid = 32;

// A widget not yet shown has no window and reports 1: it takes the ratio of the window it will
// open over, or the application's.
qreal RatioOf(const QWidget& widget) {
    for (const QWidget* shown = &widget; shown != nullptr; shown = shown->parentWidget())
        if (shown->window()->windowHandle() != nullptr)
            return shown->devicePixelRatioF();
    return qApp->devicePixelRatio();
}

// A disc with a mark on it.
void Disc(QPainter& painter, const QColor& colour) {
    painter.setPen(QPen(colour.darker(130), 1));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(1.5, 1.5, 29, 29));
}

void Glyph(QPainter& painter, const QString& text, const QColor& colour, const QRectF& box) {
    QFont font = DialogFont();
    font.setBold(true);
    font.setPixelSize(22);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(path.translated(box.center() - bounds.center()));
}

void Information(QPainter& painter) {
    Disc(painter, QColor(0, 103, 192));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(14, 6.5, 4, 4));
    painter.drawRoundedRect(QRectF(14, 13, 4, 13), 1, 1);
}

void Question(QPainter& painter) {
    Disc(painter, QColor(0, 103, 192));
    Glyph(painter, QStringLiteral("?"), Qt::white, QRectF(0, 0, kGrid, kGrid));
}

void Warning(QPainter& painter) {
    QPainterPath triangle;
    triangle.moveTo(16, 2);
    triangle.lineTo(30.5, 29);
    triangle.lineTo(1.5, 29);
    triangle.closeSubpath();
    painter.setPen(QPen(QColor(180, 120, 0), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(255, 196, 0));
    painter.drawPath(triangle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRoundedRect(QRectF(14.25, 10, 3.5, 11), 1, 1);
    painter.drawEllipse(QRectF(14.25, 22.5, 3.5, 3.5));
}

void Error(QPainter& painter) {
    Disc(painter, QColor(210, 35, 35));
    painter.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
    painter.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
}

}  // namespace

QIcon MessageSign(QStyle::StandardPixmap which) {
    CPaintedIconEngine::TPaint paint = Information;
    switch (which) {
        case QStyle::SP_MessageBoxQuestion:
            paint = Question;
            break;
        case QStyle::SP_MessageBoxWarning:
            paint = Warning;
            break;
        case QStyle::SP_MessageBoxCritical:
            paint = Error;
            break;
        default:
            break;
    }
    return QIcon(new CPaintedIconEngine(kGrid, paint));
}

QPixmap StandardIconPixmap(const QWidget& widget, QStyle::StandardPixmap which, int size) {
    return MessageSign(which).pixmap(QSize(size, size), RatioOf(widget));
}
