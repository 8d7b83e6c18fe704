#pragma once
#include <QObject>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <span>

#include "controller/ChannelNotices.h"
#include "data/MeasurementReport.h"
#include "protocol/RfPacketCommander.h"

class CDongleLink;
class CMeasurementDataManager;
class CMeasurementSignals;
class CSharedParameters;
class CStopHandshake;
namespace VEK {
class COffsetCapture;
}

// The dongle commander's listener: the dongle's events on the receive thread. Measurement reports
// go into the record store while measuring, information reports into the store and the polling
// setting in every run state, the polling-stopped event to the stop handshake. It reaches the
// window thread only by queued calls, at most one per channel waiting, and reports there what was
// stored.
class CReceivePath : public QObject, public QNL::CRfPacketCommander::IListener {
    Q_OBJECT
public:
    // All borrowed; they outlive the receive path.
    CReceivePath(CMeasurementDataManager& store, CSharedParameters& parameters, CDongleLink& link,
                 CStopHandshake& stop, CMeasurementSignals& notifier, QObject* parent = nullptr);

    // Receive thread.
    void HandlePollingState(bool polling) override;
    void HandleMeasurementReport(std::span<const uint8_t> report) override;
    void HandleInformationReport(std::span<const uint8_t> report) override;
    bool HandleLinkState(int kind) override;

    // Window thread, before polling goes on: the offsets subtracted from the readings of the run.
    void SetOffsets(const TChannelOffsets& offsets);
    // Window thread: while a capture is set (nullptr: none), measurement reports go to it as they
    // came and are not stored. Once this returns, the receive thread no longer uses the old one.
    void SetOffsetCapture(VEK::COffsetCapture* capture);

    // Any thread: what was stored has waited longer than this for the window thread.
    bool WindowThreadBehind(std::chrono::milliseconds age) const { return m_notices.WaitingLongerThan(age); }

private:
    // count 0: the channel's unit information changed.
    void PostStored(int channel, uint32_t count, uint32_t firstIndex);
    // Window thread: what waits for the channel.
    void OnStored(int channel);

    CMeasurementDataManager& m_store;
    CSharedParameters& m_parameters;
    CDongleLink& m_link;
    CStopHandshake& m_stop;
    CMeasurementSignals& m_notifier;
    CChannelNotices m_notices;
    // Guards the offsets and the capture against the receive thread.
    std::mutex m_offsetLock;
    TChannelOffsets m_offsets;
    VEK::COffsetCapture* m_capture = nullptr;
};
