#include "display/DrawerTableModel.h"

#include <algorithm>

namespace VEK::MFC {

int CDrawerTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CDrawerTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

void CDrawerTableModel::InsertColumn(int column) {
    column = std::clamp(column, 0, m_columns);
    beginInsertColumns({}, column, column);
    for (auto& row : m_rows) row.insert(row.begin() + column, nullptr);
    ++m_columns;
    endInsertColumns();
}

void CDrawerTableModel::RemoveColumn(int column) {
    if (column < 0 || column >= m_columns)
        return;
    beginRemoveColumns({}, column, column);
    for (auto& row : m_rows) row.erase(row.begin() + column);
    --m_columns;
    endRemoveColumns();
}

int CDrawerTableModel::AppendRow() {
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.emplace_back(m_columns);
    endInsertRows();
    return row;
}

void CDrawerTableModel::RemoveAllRows() {
    if (m_rows.empty())
        return;
    beginRemoveRows({}, 0, static_cast<int>(m_rows.size()) - 1);
    m_rows.clear();
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
