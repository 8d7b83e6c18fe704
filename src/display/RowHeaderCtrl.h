#pragma once
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <map>

#include "display/Drawable.h"

namespace VEK::MFC {

class CDrawingListCtrl;

// A vertical strip at the left of a list that carries the list to its right: a title as high as
// the list's header, and a drawer per row at the list's row positions, following its scrolling.
// When resizable, its right edge can be dragged (the right button restores the width at the
// press). A click reports the row under the mouse.
class CRowHeaderCtrl : public QWidget {
    Q_OBJECT
public:
    // The zone left of the right edge where a drag resizes, and the narrowest strip.
    static constexpr int kEdgeZone = 5;
    static constexpr int kMinWidth = 5;

    explicit CRowHeaderCtrl(QWidget* parent = nullptr);

    // The list becomes the strip's child, placed from x = width to the right edge, full height,
    // without a frame; the strip takes the list's font.
    void Attach(CDrawingListCtrl* list, int width, bool resizable);
    CDrawingListCtrl* List() const { return m_list; }
    int StripWidth() const { return m_width; }
    // A drag keeps it within the least width .. client width - kMinWidth.
    void SetStripWidth(int width);
    // The narrowest a drag makes the strip (kMinWidth unless set): what its texts need.
    void SetMinimumStripWidth(int width) { m_minWidth = std::max(kMinWidth, width); }

    void SetTitleDrawer(const IDrawable& drawer);
    void SetBackgroundColor(uint32_t rgb);
    void SetRowDrawer(int row, const IDrawable& drawer);
    void ClearRowDrawers();
    // The row at y (strip coordinates), -1 in the title or below the last row.
    int RowAt(int y) const;
    // The row's rectangle in the strip; empty when the list has no such row.
    QRect RowRect(int row) const;

signals:
    void clicked(int row);
    void doubleClicked(int row);
    // The strip's edge was dragged to a new width (reported when the drag ends).
    void widthDragEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool InEdgeZone(int x) const { return m_resizable && x >= m_width - kEdgeZone && x < m_width; }
    int TitleHeight() const;
    void PlaceList();
    void EndDrag();

    QPointer<CDrawingListCtrl> m_list;
    int m_width = 50;
    int m_minWidth = kMinWidth;
    bool m_resizable = false;
    CDrawerHandle m_title;
    uint32_t m_background;
    std::map<int, CDrawerHandle> m_rows;
    bool m_dragging = false;
    int m_widthAtPress = 0;
    int m_xAtPress = 0;
};

}  // namespace VEK::MFC
