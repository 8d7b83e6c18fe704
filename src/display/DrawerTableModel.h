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
    // Drawers paint cells and header items; assistive technology reads their words
    // (Qt::AccessibleTextRole), and the rows' and columns' names.
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex&) const override { return Qt::ItemIsEnabled; }

    void InsertColumn(int column);
    void RemoveColumn(int column);
    // Appends an empty row; returns its index.
    int AppendRow();
    void RemoveAllRows();
    void SetDrawer(int row, int column, CDrawerHandle drawer);
    // The names assistive technology gives a row ("Channel 3") and a column ("Temp.").
    void SetRowName(int row, QString name);
    void SetColumnName(int column, QString name);
    // Null when the cell has none.
    const CDrawerHandle& Drawer(int row, int column) const;

private:
    int m_columns = 0;
    std::vector<std::vector<CDrawerHandle>> m_rows;
    std::vector<QString> m_rowNames;
    std::vector<QString> m_columnNames;
};

}  // namespace VEK::MFC
