#pragma once
#include <QFont>
#include <QObject>

#include "display/CellLook.h"

class CMyTemperatureValueListRapper;
namespace VEK {
class CIconManager;
namespace MFC {
class CDrawingListCtrl;
class CRowHeaderCtrl;
}  // namespace MFC
}  // namespace VEK

// Paints one channel value list into its list control and row header: everything after a rebuild,
// single cells after a refresh, a row's colour patch. Widths the operator drags go back into the
// list's model.
class CTemperatureValueListView : public QObject {
    Q_OBJECT
public:
    // All borrowed; they outlive the view.
    CTemperatureValueListView(CMyTemperatureValueListRapper& model, VEK::MFC::CDrawingListCtrl& list,
                              VEK::MFC::CRowHeaderCtrl& rowHeader, VEK::CIconManager& icons, QFont cellFont,
                              QObject* parent = nullptr);

    // Columns, widths, rows and every cell as the model has them.
    void Rebuild();
    void PaintCell(int row, int column, const TCellLook& look);
    void PaintMark(int row);

signals:
    // The operator finished dragging a column divider or the row header's edge.
    void widthsDragged();

private:
    void PaintHeader();

    CMyTemperatureValueListRapper& m_model;
    VEK::MFC::CDrawingListCtrl& m_list;
    VEK::MFC::CRowHeaderCtrl& m_rowHeader;
    VEK::CIconManager& m_icons;
    QFont m_cellFont;
    bool m_rebuilding = false;
};
