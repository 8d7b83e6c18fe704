#include "display/GraphChannelVisibility.h"

void CGraphChannelVisibility::SetShown(int channel, bool shown) {
    if (IsChannel(channel))
        m_shown[channel] = shown;
}
