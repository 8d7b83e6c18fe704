#include "display/MyIconButton.h"

#include "display/DisabledDrawer.h"
#include "display/IconDrawer.h"

void CMyIconButton::SetIcon(const QIcon& icon, int size) {
    m_icon = icon;
    const VEK::CIconDrawer drawer(size, size, icon);
    SetContentDrawer(drawer);
    SetDisabledDrawer(VEK::CDisabledDrawer(drawer));
}
