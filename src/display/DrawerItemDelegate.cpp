#include "display/DrawerItemDelegate.h"

#include <QPainter>

#include "display/DrawColor.h"
#include "display/DrawingListCtrl.h"

namespace VEK::MFC {

CDrawerItemDelegate::CDrawerItemDelegate(CDrawingListCtrl& list) : QStyledItemDelegate(&list), m_list(list) {}

void CDrawerItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QRect& cell = option.rect;
    painter->fillRect(cell, ToQColor(m_list.BackgroundColor()));
    const CDrawerHandle& drawer = m_list.CellDrawer(index.column(), index.row());
    if (!drawer)
        return;
    drawer->SetSize(cell.width(), cell.height());
    painter->save();
    painter->setClipRect(cell);
    drawer->DrawWithParameter(*painter, cell.x(), cell.y(), (option.state & QStyle::State_Selected) != 0);
    painter->restore();
}

}  // namespace VEK::MFC
