#pragma once
#include <array>

// Which channels the graph draws: a display choice per channel 1..100, every channel shown at
// first. Channel numbers outside 1..100 are never shown and never changed.
class CGraphChannelVisibility {
public:
    static constexpr int kChannels = 100;

    CGraphChannelVisibility() { m_shown.fill(true); }

    bool Shown(int channel) const { return IsChannel(channel) && m_shown[channel]; }
    void SetShown(int channel, bool shown);

private:
    static bool IsChannel(int channel) { return channel >= 1 && channel <= kChannels; }

    std::array<bool, kChannels + 1> m_shown{};
};
