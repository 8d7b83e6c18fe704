#include "app/StatusLook.h"

#include "data/MeasurementDataManager.h"

TStatusLook TStatusLook::For(int runState, bool connected, bool attempted) {
    if (runState == CMeasurementDataManager::kStateMeasuring)
        return {kMeasuring, false};
    if (connected || !attempted)
        return {kWaiting, false};
    return {kNotReady, runState == CMeasurementDataManager::kStateEmpty};
}
