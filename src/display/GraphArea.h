#pragma once
// The graph area [1022]: shows the graph's picture unscaled with the blinking cursor line over
// it; a click places the cursor; its size is the size of the graph's layers.
#include <QWidget>

class CGraph;

class CGraphArea : public QWidget {
    Q_OBJECT
public:
    // graph: borrowed, outlives the area.
    explicit CGraphArea(CGraph& graph, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {500, 300}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CGraph& m_graph;
};
