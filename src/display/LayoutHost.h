#pragma once
#include <QLayout>
#include <memory>

#include "display/layout/ILayout.h"

namespace VEK::MFC {

// Hosts an arrangement in a widget, so that Qt runs it on every resize: the arrangement takes
// the whole rectangle and places its controls. It holds no Qt layout items.
class CLayoutHost : public QLayout {
public:
    explicit CLayoutHost(QWidget* parent);
    ~CLayoutHost() override;

    void SetRoot(std::unique_ptr<ILayout> root);
    const ILayout* Root() const { return m_root.get(); }

    QSize sizeHint() const override { return minimumSize(); }
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal | Qt::Vertical; }
    void setGeometry(const QRect& rect) override;
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int) const override { return nullptr; }
    QLayoutItem* takeAt(int) override { return nullptr; }
    int count() const override { return 0; }

private:
    std::unique_ptr<ILayout> m_root;
};

}  // namespace VEK::MFC
