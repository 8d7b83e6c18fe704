#include "display/DrawerTableModel.h"

#include <algorithm>

namespace VEK::MFC {

int CDrawerTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CDrawerTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant CDrawerTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::AccessibleTextRole)
        return {};
    const CDrawerHandle& drawer = Drawer(index.row(), index.column());
    return drawer ? QVariant(drawer->AccessibleText()) : QVariant();
}

QVariant CDrawerTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // Not for display: the header's drawers paint the items.
    if (role != Qt::AccessibleTextRole)
        return {};
    const std::vector<QString>& names = orientation == Qt::Horizontal ? m_columnNames : m_rowNames;
    return section >= 0 && section < static_cast<int>(names.size()) ? QVariant(names[section]) : QVariant();
}

void CDrawerTableModel::SetRowName(int row, QString name) {
    if (row >= 0 && row < rowCount())
        m_rowNames[row] = std::move(name);
}

void CDrawerTableModel::SetColumnName(int column, QString name) {
    if (column >= 0 && column < m_columns)
        m_columnNames[column] = std::move(name);
}

void CDrawerTableModel::InsertColumn(int column) {
    column = std::clamp(column, 0, m_columns);
    beginInsertColumns({}, column, column);
    m_columnNames.insert(m_columnNames.begin() + column, QString());
    for (auto& row : m_rows) row.insert(row.begin() + column, nullptr);
    ++m_columns;
    endInsertColumns();
}

void CDrawerTableModel::RemoveColumn(int column) {
    if (column < 0 || column >= m_columns)
        return;
    beginRemoveColumns({}, column, column);
    m_columnNames.erase(m_columnNames.begin() + column);
    for (auto& row : m_rows) row.erase(row.begin() + column);
    --m_columns;
    endRemoveColumns();
}

int CDrawerTableModel::AppendRow() {
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.emplace_back(m_columns);
    m_rowNames.emplace_back();
    endInsertRows();
    return row;
}

void CDrawerTableModel::RemoveAllRows() {
    if (m_rows.empty())
        return;
    beginRemoveRows({}, 0, static_cast<int>(m_rows.size()) - 1);
    m_rows.clear();
    m_rowNames.clear();
    endRemoveRows();
}

void CDrawerTableModel::SetDrawer(int row, int column, CDrawerHandle drawer) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return;
    m_rows[row][column] = std::move(drawer);
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell);
}

const CDrawerHandle& CDrawerTableModel::Drawer(int row, int column) const {
    static const CDrawerHandle kNone;
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return kNone;
    return m_rows[row][column];
}

}  // namespace VEK::MFC
