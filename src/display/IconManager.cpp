#include "display/IconManager.h"

#include "display/ProjectIcons.h"

namespace VEK {

const QIcon& CIconManager::Icon(int id) {
    auto found = m_icons.find(id);
    if (found == m_icons.end())
        found = m_icons.emplace(id, DrawProjectIcon(id)).first;
    return found->second;
}

}  // namespace VEK
