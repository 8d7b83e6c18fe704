#include "display/RowHeaderCtrl.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "display/DrawColor.h"
#include "display/DrawingListCtrl.h"

namespace VEK::MFC {

CRowHeaderCtrl::CRowHeaderCtrl(QWidget* parent)
    : QWidget(parent), m_background(QApplication::palette().color(QPalette::Button).rgb() & 0xFFFFFF) {
    setMouseTracking(true);
}

void CRowHeaderCtrl::Attach(CDrawingListCtrl* list, int width, bool resizable) {
    m_list = list;
    m_resizable = resizable;
    list->setParent(this);
    list->setFrameShape(QFrame::NoFrame);
    setFont(list->font());
    // Whatever moves the list's rows moves the strip's.
    const auto repaint = [this] { update(); };
    connect(list->verticalScrollBar(), &QScrollBar::valueChanged, this, repaint);
    connect(list->model(), &QAbstractItemModel::rowsInserted, this, repaint);
    connect(list->model(), &QAbstractItemModel::rowsRemoved, this, repaint);
    connect(list->model(), &QAbstractItemModel::modelReset, this, repaint);
    connect(list->horizontalHeader(), &QHeaderView::geometriesChanged, this, repaint);
    connect(list->verticalHeader(), &QHeaderView::sectionResized, this, repaint);
    list->show();
    SetStripWidth(width);
}

void CRowHeaderCtrl::SetStripWidth(int width) {
    m_width = std::max(0, width);
    PlaceList();
    update();
}

void CRowHeaderCtrl::PlaceList() {
    if (m_list)
        m_list->setGeometry(m_width, 0, std::max(0, width() - m_width), height());
}

void CRowHeaderCtrl::SetTitleDrawer(const IDrawable& drawer) {
    m_title = drawer.Clone();
    update();
}

void CRowHeaderCtrl::SetBackgroundColor(uint32_t rgb) {
    m_background = rgb;
    update();
}

void CRowHeaderCtrl::SetRowDrawer(int row, const IDrawable& drawer) {
    m_rows[row] = drawer.Clone();
    update(RowRect(row));
}

void CRowHeaderCtrl::ClearRowDrawers() {
    m_rows.clear();
    update();
}

int CRowHeaderCtrl::TitleHeight() const {
    return m_list && !m_list->horizontalHeader()->isHidden() ? m_list->horizontalHeader()->height() : 0;
}

QRect CRowHeaderCtrl::RowRect(int row) const {
    if (!m_list || row < 0 || row >= m_list->RowCount())
        return {};
    const int top = m_list->viewport()->mapTo(this, QPoint(0, m_list->rowViewportPosition(row))).y();
    return QRect(0, top, m_width, m_list->rowHeight(row));
}

int CRowHeaderCtrl::RowAt(int y) const {
    if (!m_list || y < TitleHeight())
        return -1;
    const int viewportY = m_list->viewport()->mapFrom(this, QPoint(0, y)).y();
    return m_list->rowAt(viewportY);
}

void CRowHeaderCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, m_width, height()), ToQColor(m_background));
    const int titleHeight = TitleHeight();
    if (m_title && titleHeight > 0) {
        m_title->SetSize(m_width, titleHeight);
        m_title->Draw(painter, 0, 0);
    }
    // Rows scrolled under the title are cut off there, as in the list.
    const QRect rowArea(0, titleHeight, m_width, height() - titleHeight);
    for (const auto& [row, drawer] : m_rows) {
        const QRect rect = RowRect(row).intersected(rowArea);
        if (rect.isEmpty() || !drawer)
            continue;
        const QRect full = RowRect(row);
        drawer->SetSize(full.width(), full.height());
        painter.save();
        painter.setClipRect(rect);
        drawer->Draw(painter, full.x(), full.y());
        painter.restore();
    }
}

void CRowHeaderCtrl::resizeEvent(QResizeEvent*) {
    PlaceList();
}

void CRowHeaderCtrl::mousePressEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (m_dragging && event->button() == Qt::RightButton) {
        SetStripWidth(m_widthAtPress);
        EndDrag();
        return;
    }
    if (event->button() == Qt::LeftButton && InEdgeZone(x)) {
        m_dragging = true;
        m_widthAtPress = m_width;
        m_xAtPress = x;
    }
}

void CRowHeaderCtrl::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (m_dragging) {
        SetStripWidth(std::clamp(x + (m_widthAtPress - m_xAtPress), m_minWidth,
                                 std::max(m_minWidth, width() - kMinWidth)));
        return;
    }
    if (InEdgeZone(x))
        setCursor(Qt::SizeHorCursor);
    else
        unsetCursor();
}

void CRowHeaderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (m_dragging) {
        const bool moved = m_width != m_widthAtPress;
        EndDrag();
        if (moved)
            emit widthDragEnded();
        return;
    }
    if (rect().contains(event->position().toPoint()))
        emit clicked(RowAt(event->position().toPoint().y()));
}

void CRowHeaderCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !InEdgeZone(event->position().toPoint().x()))
        emit doubleClicked(RowAt(event->position().toPoint().y()));
}

void CRowHeaderCtrl::EndDrag() {
    m_dragging = false;
    unsetCursor();
}

}  // namespace VEK::MFC
