#include "display/GraphArea.h"

#include <QMouseEvent>
#include <QPainter>

#include "display/Graph.h"

namespace {
constexpr const char* kNoPictureText = "Not enough memory to draw the graph.";
}

CGraphArea::CGraphArea(CGraph& graph, QWidget* parent) : QWidget(parent), m_graph(graph) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName("1022");
    connect(&m_graph, &CGraph::pictureChanged, this, qOverload<>(&QWidget::update));
    connect(&m_graph, &CGraph::cursorBlinked, this, [this] {
        const int x = m_graph.CursorX();
        update(x - 2, 0, 4, height());
    });
}

void CGraphArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage& picture = m_graph.Picture();
    const TDisplayColors& colors = m_graph.Colors();
    if (picture.size() != size())
        painter.fillRect(rect(), QColor(colors.Rgb(TDisplayColors::kBackground)));
    if (!picture.isNull()) {
        painter.drawImage(0, 0, picture);
    } else {
        painter.setPen(QColor(colors.Rgb(TDisplayColors::kCursor)));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, kNoPictureText);
    }
    // The cursor line in the colour of the blink's phase; the picture holds it in the first.
    const int x = m_graph.CursorX();
    if (x >= 0) {
        painter.setPen(QPen(QColor(m_graph.CursorColor()), 2));
        painter.drawLine(x, 0, x, picture.height() - 1);
    }
}

void CGraphArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_graph.AreaResized(width(), height());
}

void CGraphArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_graph.ClickArea(static_cast<int>(event->position().x()), width(),
                          event->modifiers() & Qt::ShiftModifier);
    QWidget::mousePressEvent(event);
}
