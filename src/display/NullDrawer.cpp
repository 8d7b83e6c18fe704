#include "display/NullDrawer.h"

namespace VEK {

bool CNullDrawer::SetSize(int width, int height) {
    if (width < 0 || height < 0)
        return false;
    m_width = width;
    m_height = height;
    return true;
}

}  // namespace VEK
