#include "display/LayoutDialog.h"

#include "display/LayoutHost.h"

namespace VEK::MFC {

CLayoutDialog::CLayoutDialog(QWidget* parent) : QDialog(parent), m_host(new CLayoutHost(this)) {}

void CLayoutDialog::SetLayout(const ILayout& layout) {
    m_host->SetRoot(layout.Clone());
    ApplyMinimumSize();
    m_host->setGeometry(rect());
}

const ILayout* CLayoutDialog::Arrangement() const {
    return m_host->Root();
}

void CLayoutDialog::SetMinimumTrackSize(QSize size) {
    m_minimumTrack = size;
    ApplyMinimumSize();
}

void CLayoutDialog::ApplyMinimumSize() {
    // Larger fonts make the arrangement need more than the fixed least size: the larger holds,
    // or controls would overlap.
    setMinimumSize(m_minimumTrack.expandedTo(m_host->minimumSize()));
}

}  // namespace VEK::MFC
