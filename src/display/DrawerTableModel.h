#pragma once
#include <QAbstractTableModel>
#include <vector>

#include "display/Drawable.h"

namespace VEK::MFC {

// The cells of a drawing list: one drawer per cell (none until one is given). A new drawer for a
// cell reports that cell alone as changed, so only it is painted again.
class CDrawerTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // Drawers paint cells and header items: no texts of the model's own.
    QVariant data(const QModelIndex&, int) const override { return {}; }
    QVariant headerData(int, Qt::Orientation, int) const override { return {}; }
    Qt::ItemFlags flags(const QModelIndex&) const override { return Qt::ItemIsEnabled; }

    void InsertColumn(int column);
    void RemoveColumn(int column);
    // Appends an empty row; returns its index.
    int AppendRow();
    void RemoveAllRows();
    void SetDrawer(int row, int column, CDrawerHandle drawer);
    // Null when the cell has none.
    const CDrawerHandle& Drawer(int row, int column) const;

private:
    int m_columns = 0;
    std::vector<std::vector<CDrawerHandle>> m_rows;
};

}  // namespace VEK::MFC
