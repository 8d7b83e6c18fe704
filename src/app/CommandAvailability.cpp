#include "app/CommandAvailability.h"

#include "data/MeasurementDataManager.h"
#include "data/SamplingRate.h"

TCommandAvailability TCommandAvailability::For(int runState, bool connected, bool cursorOn,
                                               const TPollingSetting& polling) {
    bool channelInUse = false;
    for (int channel = 1; channel <= ChannelsTakingPart(polling.RateCode()) && !channelInUse; ++channel)
        channelInUse = polling.InUse(channel);
    TCommandAvailability availability;
    availability.startStop = connected && channelInUse;
    availability.menus = runState != CMeasurementDataManager::kStateMeasuring;
    availability.saveData = runState == CMeasurementDataManager::kStateHolding;
    availability.deletions = cursorOn;
    return availability;
}
