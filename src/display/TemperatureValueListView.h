#pragma once
#include <QFont>
#include <QObject>

#include "display/CellLook.h"
#include "display/ListWidthRules.h"

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

    // The widths the lists need at this cell font: each column's header and widest value whole,
    // the comment about 16 characters.
    static TListWidthRules WidthRules(const QFont& cellFont);

    // Columns, widths, rows and every cell as the model has them.
    void Rebuild();
    void PaintCell(int row, int column, const TCellLook& look);
    void PaintMark(int row);

signals:
    // The operator finished dragging a column divider or the row header's edge.
    void widthsDragged();

private:
    void PaintHeader();
    // A value wider than its column widens the column, up to the growth limit.
    void GrowToFit(int column, const QString& text);
    void OnSectionResized(int column, int width);
    // A list too narrow for its columns gives the comment less room, down to its header's width,
    // so that the values stay in view; the comment's own width stays for a wider list.
    void FitComment();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    CMyTemperatureValueListRapper& m_model;
    VEK::MFC::CDrawingListCtrl& m_list;
    VEK::MFC::CRowHeaderCtrl& m_rowHeader;
    VEK::CIconManager& m_icons;
    QFont m_cellFont;
    // Set while the view sets widths itself: they are not the operator's.
    bool m_rebuilding = false;
};
