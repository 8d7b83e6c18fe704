#pragma once
#include <QMetaType>
#include <cstdint>

#include "data/Reading.h"

// A channel's newest value as the lists show it. Whoever draws it chooses text and colour.
struct TChannelValue {
    enum class EKind {
        kNone,     // nothing to show: the dongle is gone while idle
        kReady,    // idle, the unit's information is known
        kReading,  // the newest stored reading, which may be Lost or Out Of Range
    };

    EKind kind = EKind::kNone;
    int16_t reading = kReadingLost;
    // The channel's readings are corrected by a PC-side offset.
    bool adjusted = false;

    static TChannelValue Ready() { return {EKind::kReady, kReadingLost, false}; }
    static TChannelValue Reading(int16_t tenths, bool adjusted) {
        return {EKind::kReading, tenths, adjusted};
    }
};
Q_DECLARE_METATYPE(TChannelValue)
