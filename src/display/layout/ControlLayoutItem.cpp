#include "display/layout/ControlLayoutItem.h"

namespace VEK::MFC {

bool CControlLayoutItem::SetSize(int width, int height) {
    if (width > m_maximum.width || height > m_maximum.height)
        return false;
    m_sizeAssigned = true;
    m_size = {width, height};
    return true;
}

void CControlLayoutItem::Place(int x, int y) {
    if (x != -1)
        m_x = x;
    if (y != -1)
        m_y = y;
    const TLayoutSize size = CurrentSize();
    m_control->SetGeometry({m_x, m_y, size.width, size.height});
}

}  // namespace VEK::MFC
