#pragma once
#include <cstdint>
#include <functional>
#include <string>

// What the measurement controller shows: implemented by the main window and by the headless
// recorder. Every call arrives on the window thread.
class IMeasurementView {
public:
    enum class EIcon { kInformation, kError };

    // Stop flags of the stop handshake, read together.
    struct TStopFlags {
        bool done = true;
        bool pending = false;
    };

    virtual ~IMeasurementView() = default;

    // Run state, connection or remaining time changed.
    virtual void RefreshStatus() = 0;
    // A message box (the headless front end logs it). Returns when the operator closed it.
    virtual void ShowMessage(EIcon icon, const std::string& text) = 0;
    // Waits for the dongle to confirm that polling stopped; stopped() becomes true once the stop is
    // complete. True when the wait was given up (the dialog's Cancel).
    virtual bool WaitForStopConfirmation(const std::function<bool()>& stopped) = 0;

    // Lists and graph. A channel's newest value: text, colour (RGB, red in the low byte), valid.
    virtual void SetChannelValue(int /*channel*/, const std::string& /*text*/, uint32_t /*rgb*/,
                                 bool /*valid*/) {}
    // The channel's unit information (battery, version) changed or was forgotten.
    virtual void UnitInformationChanged(int /*channel*/) {}
    // New readings of a channel from record firstIndex on.
    virtual void SamplesStored(int /*channel*/, uint32_t /*count*/, uint32_t /*firstIndex*/) {}
    // One sampling period passed while measuring.
    virtual void SamplingTick() {}
    // The lists are rebuilt and the graph redrawn: a start, a finish, a reset.
    virtual void RebuildLists() {}
    // Lost detection of the lists: 0 turns it off.
    virtual void SetLostTimeout(uint32_t /*ms*/) {}
    // Timer 3 while measuring, timer 14 while idle.
    virtual void RefreshLists() {}
    // Hold and cursor of the graph go off.
    virtual void ReleaseHoldAndCursor() {}
    // A run ended (after its data were saved and its messages shown); deviceError: the dongle was
    // lost while measuring.
    virtual void MeasurementEnded(bool /*deviceError*/) {}
    // Keep-awake taken or released (for the front end's information).
    virtual void KeepAwakeChanged(bool /*requested*/) {}
};
