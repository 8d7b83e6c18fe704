#pragma once
#include <QStyledItemDelegate>

namespace VEK::MFC {

class CDrawingListCtrl;

// Paints a drawing list's cell: the list's background, then the cell's drawer at the cell's size.
class CDrawerItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CDrawerItemDelegate(CDrawingListCtrl& list);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    CDrawingListCtrl& m_list;
};

}  // namespace VEK::MFC
