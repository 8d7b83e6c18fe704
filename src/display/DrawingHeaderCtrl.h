#pragma once
#include <QHeaderView>
#include <vector>

#include "display/Drawable.h"

namespace VEK::MFC {

// A list's column header whose items are painted by drawers. Clicks on an item do nothing; the
// end of a divider drag is reported.
class CDrawingHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    explicit CDrawingHeaderCtrl(QWidget* parent = nullptr);

    void InsertItemDrawer(int index, const IDrawable& drawer);
    void RemoveItemDrawer(int index);
    void SetItemDrawer(int index, const IDrawable& drawer);

signals:
    // The operator let go of a column divider after moving it.
    void dividerDragEnded();

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<CDrawerHandle> m_drawers;
    bool m_pressed = false;
    bool m_resizedWhilePressed = false;
};

}  // namespace VEK::MFC
