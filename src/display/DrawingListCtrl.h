#pragma once
#include <QTableView>
#include <cstdint>

#include "display/Drawable.h"

namespace VEK::MFC {

class CDrawerTableModel;
class CDrawingHeaderCtrl;

// A report-style list whose cells and header items are painted by drawers. The rows are as high as
// the list's font; the area beyond the last row and column shows the background colour. A new
// drawer for a cell repaints that cell only.
class CDrawingListCtrl : public QTableView {
    Q_OBJECT
public:
    explicit CDrawingListCtrl(QWidget* parent = nullptr);

    CDrawingHeaderCtrl* Header() const { return m_header; }

    // Returns the column's position.
    int InsertColumn(int column, const IDrawable& headerDrawer, int width);
    void DeleteColumn(int column);
    void DeleteAllColumns();
    int ColumnCount() const;
    // Appends a row without drawers; returns its index.
    int InsertRow();
    void DeleteAllItems();
    int RowCount() const;

    void SetCellDrawer(int column, int row, const IDrawable& drawer);
    // The row's name for assistive technology (a column takes its header drawer's words).
    void SetRowName(int row, const QString& name);
    // Null when the cell has none.
    const CDrawerHandle& CellDrawer(int column, int row) const;

    uint32_t BackgroundColor() const { return m_background; }
    void SetBackgroundColor(uint32_t rgb);

protected:
    void changeEvent(QEvent* event) override;

private:
    void FollowFont();

    CDrawerTableModel* m_model;
    CDrawingHeaderCtrl* m_header;
    uint32_t m_background;
};

}  // namespace VEK::MFC
