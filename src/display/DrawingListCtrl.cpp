#include "display/DrawingListCtrl.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>

#include "display/DrawColor.h"
#include "display/DrawerItemDelegate.h"
#include "display/DrawerTableModel.h"
#include "display/DrawingHeaderCtrl.h"

namespace VEK::MFC {

CDrawingListCtrl::CDrawingListCtrl(QWidget* parent)
    : QTableView(parent),
      m_model(new CDrawerTableModel(this)),
      m_header(new CDrawingHeaderCtrl(this)),
      m_background(QApplication::palette().color(QPalette::Base).rgb() & 0xFFFFFF) {
    setModel(m_model);
    setHorizontalHeader(m_header);
    setItemDelegate(new CDrawerItemDelegate(*this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    SetBackgroundColor(m_background);
    FollowFont();
}

int CDrawingListCtrl::InsertColumn(int column, const IDrawable& headerDrawer, int width) {
    column = std::clamp(column, 0, ColumnCount());
    m_model->InsertColumn(column);
    m_header->InsertItemDrawer(column, headerDrawer);
    m_model->SetColumnName(column, headerDrawer.AccessibleText());
    setColumnWidth(column, width);
    return column;
}

void CDrawingListCtrl::DeleteColumn(int column) {
    if (column < 0 || column >= ColumnCount())
        return;
    m_model->RemoveColumn(column);
    m_header->RemoveItemDrawer(column);
}

void CDrawingListCtrl::DeleteAllColumns() {
    while (ColumnCount() > 0) DeleteColumn(ColumnCount() - 1);
}

int CDrawingListCtrl::ColumnCount() const {
    return m_model->columnCount();
}

int CDrawingListCtrl::InsertRow() {
    return m_model->AppendRow();
}

void CDrawingListCtrl::DeleteAllItems() {
    m_model->RemoveAllRows();
}

int CDrawingListCtrl::RowCount() const {
    return m_model->rowCount();
}

void CDrawingListCtrl::SetCellDrawer(int column, int row, const IDrawable& drawer) {
    m_model->SetDrawer(row, column, drawer.Clone());
}

void CDrawingListCtrl::SetRowName(int row, const QString& name) {
    m_model->SetRowName(row, name);
}

const CDrawerHandle& CDrawingListCtrl::CellDrawer(int column, int row) const {
    return m_model->Drawer(row, column);
}

void CDrawingListCtrl::SetBackgroundColor(uint32_t rgb) {
    m_background = rgb;
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, ToQColor(rgb));
    palette.setColor(QPalette::Window, ToQColor(rgb));
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    viewport()->update();
}

void CDrawingListCtrl::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FollowFont();
}

void CDrawingListCtrl::FollowFont() {
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
}

}  // namespace VEK::MFC
