#include "display/DrawerItemDelegate.h"

#include <QPainter>

#include "display/DrawColor.h"
#include "display/DrawingListCtrl.h"

namespace VEK::MFC {

CDrawerItemDelegate::CDrawerItemDelegate(CDrawingListCtrl& list) : QStyledItemDelegate(&list), m_list(list) {}

void CDrawerItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    painter->fillRect(option.rect, ToQColor(m_list.BackgroundColor()));
    const CDrawerHandle& drawer = m_list.CellDrawer(index.column(), index.row());
    if (!drawer)
        return;
    // A cell the list's edge cuts is drawn in the part that shows: its text is then whole,
    // shortened or shown as "#" marks as its drawer decides, never cut by the edge.
    const QRect cell = option.rect.intersected(m_list.viewport()->rect());
    if (cell.isEmpty())
        return;
    drawer->SetSize(cell.width(), cell.height());
    painter->save();
    painter->setClipRect(cell);
    drawer->DrawWithParameter(*painter, cell.x(), cell.y(), (option.state & QStyle::State_Selected) != 0);
    painter->restore();
}

}  // namespace VEK::MFC
