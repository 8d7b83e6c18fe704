#include "display/LayoutHost.h"

namespace VEK::MFC {

CLayoutHost::CLayoutHost(QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    // The window's minimum is the dialog's to set (the larger of its own and the arrangement's).
    setSizeConstraint(QLayout::SetNoConstraint);
}

CLayoutHost::~CLayoutHost() = default;

void CLayoutHost::SetRoot(std::unique_ptr<ILayout> root) {
    m_root = std::move(root);
    invalidate();
}

QSize CLayoutHost::minimumSize() const {
    if (m_root == nullptr)
        return {0, 0};
    const TLayoutSize least = m_root->MinimumSize();
    return {least.width, least.height};
}

void CLayoutHost::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    if (m_root == nullptr)
        return;
    m_root->SetSize(rect.width(), rect.height());
    m_root->Place(rect.x(), rect.y());
}

void CLayoutHost::addItem(QLayoutItem* item) {
    // Controls join through the arrangement, never as Qt items.
    delete item;
}

}  // namespace VEK::MFC
