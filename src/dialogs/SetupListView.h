#pragma once
#include <QTableView>

class CSetupDlgModel;
class QStandardItemModel;

// The setup dialog's channel list [1039] with its row header [1040]: every cell painted as the
// model says, column headers that take no clicks, no selection or focus marks. A left or right
// click on a cell is reported with the cell's rectangle in global coordinates.
class CSetupListView : public QTableView {
    Q_OBJECT
public:
    // model: borrowed, outlives the view. cellFont: the small font of the cells and headers.
    CSetupListView(const CSetupDlgModel& model, const QFont& cellFont, QWidget* parent = nullptr);

signals:
    void cellClicked(int row, int column, const QRect& globalCell);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PaintCorner(QWidget* corner);

    QStandardItemModel* m_items;
    QWidget* m_corner = nullptr;  // the corner above the row header: "Ch"
};
