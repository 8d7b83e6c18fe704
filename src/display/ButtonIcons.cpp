#include "display/ButtonIcons.h"

#include <QPainterPath>
#include <cmath>
#include <map>

namespace {

const QColor kInk(45, 45, 45);
const QColor kBlue(35, 110, 200);
const QColor kGreen(40, 160, 70);
const QColor kRed(210, 55, 45);
const QColor kAmber(235, 175, 55);
const QColor kPaper(252, 252, 248);

QPen Outline(qreal width = 1.5, const QColor& colour = kInk) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

void Fill(QPainter& painter, const QPainterPath& path, const QColor& fill, qreal outline = 1.5) {
    painter.setPen(outline > 0 ? Outline(outline) : Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(path);
}

// A small triangle at (x, y) pointing up or down: the "more" and "less" marks of the scale buttons.
void Step(QPainter& painter, qreal x, qreal y, bool up) {
    const qreal dy = up ? -5 : 5;
    Fill(painter, Polygon({{x - 6, y - dy}, {x + 6, y - dy}, {x, y + dy}}), up ? kGreen : kRed, 1.2);
}

void Clock(QPainter& painter) {
    QPainterPath face;
    face.addEllipse(QPointF(13, 16), 10, 10);
    Fill(painter, face, kPaper, 2);
    painter.setPen(Outline(2));
    painter.drawLine(QPointF(13, 16), QPointF(13, 9));
    painter.drawLine(QPointF(13, 16), QPointF(18, 18));
}

void Thermometer(QPainter& painter) {
    QPainterPath glass;
    glass.setFillRule(Qt::WindingFill);
    glass.addRoundedRect(QRectF(9, 3, 8, 20), 4, 4);
    glass.addEllipse(QPointF(13, 24), 6, 6);
    Fill(painter, glass.simplified(), kPaper, 1.5);
    QPainterPath column;
    column.setFillRule(Qt::WindingFill);
    column.addRoundedRect(QRectF(11.5, 10, 3, 14), 1.5, 1.5);
    column.addEllipse(QPointF(13, 24), 4, 4);
    Fill(painter, column.simplified(), kRed, 0);
}

// A sheet with a folded corner and a blue arrow across it.
void Page(QPainter& painter, bool forward) {
    Fill(painter, Polygon({{7, 3}, {21, 3}, {27, 9}, {27, 29}, {7, 29}}), kPaper, 1.5);
    painter.setPen(Outline(1.2));
    painter.drawPolyline(QPolygonF({{21, 3}, {21, 9}, {27, 9}}));
    const qreal s = forward ? 1 : -1;
    const qreal c = 17;
    Fill(painter,
         Polygon({{c - 10 * s, 13},
                  {c + 1 * s, 13},
                  {c + 1 * s, 8},
                  {c + 11 * s, 17},
                  {c + 1 * s, 26},
                  {c + 1 * s, 21},
                  {c - 10 * s, 21}}),
         kBlue, 1.2);
}

void Gear(QPainter& painter) {
    QPainterPath gear;
    gear.setFillRule(Qt::WindingFill);  // the teeth overlap the wheel: one outline round both
    gear.addEllipse(QPointF(16, 16), 9.5, 9.5);
    for (int tooth = 0; tooth < 8; ++tooth) {
        QTransform turn;
        turn.translate(16, 16);
        turn.rotate(tooth * 45.0);
        QPainterPath t;
        t.addRoundedRect(QRectF(-3, -14, 6, 8), 1.2, 1.2);
        gear.addPath(turn.map(t));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(16, 16), 4, 4);
    Fill(painter, gear.simplified().subtracted(hole), QColor(140, 150, 165), 1.5);
}

void Folder(QPainter& painter) {
    Fill(painter, Polygon({{3, 7}, {12, 7}, {15, 10}, {29, 10}, {29, 26}, {3, 26}}), kAmber.darker(115), 1.5);
    Fill(painter, Polygon({{3, 26}, {7, 14}, {31, 14}, {28, 26}}), kAmber, 1.5);
}

void Play(QPainter& painter) {
    Fill(painter, Polygon({{9, 5}, {27, 16}, {9, 27}}), kGreen, 2);
}

void StopSquare(QPainter& painter) {
    QPainterPath square;
    square.addRoundedRect(QRectF(7, 7, 18, 18), 3, 3);
    Fill(painter, square, kRed, 2);
}

void Pencil(QPainter& painter) {
    painter.save();
    painter.translate(16, 16);
    painter.rotate(45);
    QPainterPath body;
    body.addRect(QRectF(-4, -14, 8, 19));
    Fill(painter, body, kAmber, 1.5);
    Fill(painter, Polygon({{-4, 5}, {4, 5}, {0, 13}}), QColor(240, 215, 170), 1.5);
    QPainterPath eraser;
    eraser.addRect(QRectF(-4, -14, 8, 4));
    Fill(painter, eraser, QColor(230, 120, 140), 1.5);
    painter.restore();
}

void Eye(QPainter& painter) {
    QPainterPath lid;
    lid.moveTo(2, 16);
    lid.quadTo(16, 2, 30, 16);
    lid.quadTo(16, 30, 2, 16);
    Fill(painter, lid, kPaper, 1.8);
    QPainterPath iris;
    iris.addEllipse(QPointF(16, 16), 6, 6);
    Fill(painter, iris, kBlue, 1.2);
    QPainterPath pupil;
    pupil.addEllipse(QPointF(16, 16), 2.5, 2.5);
    Fill(painter, pupil, kInk, 0);
}

void Door(QPainter& painter) {
    Fill(painter, Polygon({{4, 3}, {18, 3}, {18, 29}, {4, 29}}), QColor(170, 120, 80), 1.5);
    Fill(painter, Polygon({{14, 16}, {22, 16}, {22, 11}, {30, 18}, {22, 25}, {22, 20}, {14, 20}}), kRed, 1.2);
}

// A graph line across the icon, under the cursor marks.
void GraphLine(QPainter& painter) {
    painter.setPen(Outline(2, kBlue));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF({{2, 22}, {9, 14}, {15, 19}, {22, 8}, {30, 12}}));
}

void CursorLine(QPainter& painter, qreal x) {
    painter.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(x, 3), QPointF(x, 29));
}

void CursorStep(QPainter& painter, bool right) {
    CursorLine(painter, right ? 10 : 22);
    const qreal s = right ? 1 : -1;
    const qreal c = right ? 20 : 12;
    Fill(painter, Polygon({{c - 6 * s, 9}, {c + 7 * s, 16}, {c - 6 * s, 23}}), kInk, 1.2);
}

void Cursor(QPainter& painter) {
    GraphLine(painter);
    CursorLine(painter, 18);
    QPainterPath mark;
    mark.addEllipse(QPointF(18, 14.5), 3.5, 3.5);
    Fill(painter, mark, kPaper, 1.5);
}

// The cursor and cursor B, dashed, with the span between them shaded.
void CursorB(QPainter& painter) {
    painter.fillRect(QRectF(9, 3, 14, 26), QColor(210, 55, 45, 60));
    GraphLine(painter);
    CursorLine(painter, 9);
    QPen dashed(kRed, 2, Qt::CustomDashLine, Qt::FlatCap);
    dashed.setDashPattern({2, 1.5});  // in pen widths
    painter.setPen(dashed);
    painter.drawLine(QPointF(23, 3), QPointF(23, 29));
}

// A graph line between top and bottom bars with arrows pushing them apart: fit to the data.
void AutoScale(QPainter& painter) {
    GraphLine(painter);
    painter.setPen(Outline(2));
    painter.drawLine(QPointF(3, 3), QPointF(29, 3));
    painter.drawLine(QPointF(3, 29), QPointF(29, 29));
    Fill(painter, Polygon({{26, 5}, {30, 11}, {22, 11}}), kGreen, 1);
    Fill(painter, Polygon({{26, 27}, {30, 21}, {22, 21}}), kGreen, 1);
}

using TPaint = std::function<void(QPainter&)>;

const std::map<int, TPaint>& Painters() {
    static const std::map<int, TPaint> painters = {
        {130,
         [](QPainter& p) {
             Clock(p);
             Step(p, 26, 16, true);
         }},
        {131,
         [](QPainter& p) {
             Clock(p);
             Step(p, 26, 16, false);
         }},
        {132,
         [](QPainter& p) {
             Thermometer(p);
             Step(p, 25, 16, true);
         }},
        {133,
         [](QPainter& p) {
             Thermometer(p);
             Step(p, 25, 16, false);
         }},
        {134, [](QPainter& p) { Page(p, true); }},
        {135, [](QPainter& p) { Page(p, false); }},
        {156, Gear},
        {157, Folder},
        {158, Play},
        {159, StopSquare},
        {160, Pencil},
        {161, Eye},
        {162, Door},
        {163, [](QPainter& p) { CursorStep(p, false); }},
        {164, [](QPainter& p) { CursorStep(p, true); }},
        {165, AutoScale},
        {166, Cursor},
        {170, CursorB},
    };
    return painters;
}

}  // namespace

std::function<void(QPainter&)> ButtonIconPainter(int id) {
    const auto found = Painters().find(id);
    return found != Painters().end() ? found->second : TPaint{};
}
