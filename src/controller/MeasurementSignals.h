#pragma once
#include <QObject>
#include <cstdint>

#include "controller/ChannelValue.h"

// What the measurement controller reports, as Qt signals on the window thread: the graph, the
// lists and a headless front end each connect to what they need. The controller's members emit
// them through the controller, which is one of these.
class CMeasurementSignals : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // Run state, connection or remaining time changed: the status line reads StatusText again.
    void statusChanged();
    void channelValueChanged(int channel, TChannelValue value);
    // The channel's unit information (battery, version) changed or was forgotten.
    void unitInformationChanged(int channel);
    // New readings of a channel from record firstIndex on.
    void samplesStored(int channel, uint32_t count, uint32_t firstIndex);
    // One sampling period passed while measuring.
    void samplingTick();
    // Polling started at this sampling-rate code and the store began the run: the graph's time
    // axis takes the rate before the first record arrives.
    void pollingStarted(uint32_t rateCode);
    // The lists are rebuilt and the graph redrawn: a start, a finish, a reset, a load.
    void rebuildRequested();
    // The lists look for lost channels again: every second while measuring, with each information
    // refresh while idle, after new unit information.
    void listsRefreshDue();
    // Lost detection of the lists: 0 turns it off.
    void lostTimeoutChanged(uint32_t ms);
    // The graph's hold and cursor go off.
    void holdAndCursorReleased();
    // A run ended, after its data were saved and its messages shown; deviceError: the dongle was
    // lost while measuring.
    void runEnded(bool deviceError);
    // Keep-awake taken or released.
    void keepAwakeChanged(bool requested);
    // The MQTT publisher's status line changed (at most once a second): PublishStatus() again.
    void publishStatusChanged();
    // A file of the run could or could no longer be written: FileProblem() again.
    void fileProblemChanged();
};
