// The controller's receive path: runs on the dongle's receive thread and reaches the window thread
// only through posted messages and posted timer starts.
#include "app/AppMessage.h"
#include "app/MeasurementController.h"
#include "data/UnitInformation.h"
#include "data/UnitReportLayout.h"
#include "protocol/PacketTa/DataReceivedEvent.h"
#include "protocol/PollingDataSentEvent.h"

namespace {
// More information reports than this in a burst re-send the polling setting at once.
constexpr uint32_t kInformationBurst = 20;
}  // namespace

void CMeasurementController::HandleUnclaimedFrame(QNL::CBasicPacket& frame, int /*lastKeyResult*/) {
    if (frame.Command() == 0x43)
        HandlePollingState(frame);
    else if (frame.Command() == 0x42)
        HandleUnitReport(frame);
}

void CMeasurementController::HandlePollingState(const QNL::CBasicPacket& frame) {
    CPollingDataSentEvent event;
    if (event.SetPayload(frame.Data().size(), frame.Data().data()) != 0)
        return;
    if (event.Param().state == 0 && MarkPollingStopped())
        m_timers.RequestStart(kTimerCompleteStop, 0);
}

void CMeasurementController::HandleUnitReport(const QNL::CBasicPacket& frame) {
    QNL::PacketTa::CDataReceivedEvent event;
    if (event.SetPayload(frame.Data().size(), frame.Data().data()) != 0)
        return;
    const QNL::PacketTa::TDataReceivedEventData& record = event.Param();
    const size_t size = record.dataLength;
    if (size < UnitReport::kHeaderSize)
        return;
    if (record.data[0] == UnitReport::kMeasurementKind)
        StoreMeasurementReport(record.data, size);
    else if (record.data[0] == UnitReport::kInformationKind)
        StoreUnitInformation(record.data, size);
}

void CMeasurementController::StoreMeasurementReport(const uint8_t* data, size_t size) {
    if (size < UnitReport::kSampleSize * (data[UnitReport::kCountOffset] & 0x0F) + UnitReport::kHeaderSize ||
        m_store.State() != CMeasurementDataManager::kStateMeasuring)
        return;
    const int unit = data[UnitReport::kUnitOffset];
    if (!UnitReport::IsUnitNumber(unit))
        return;
    TDecodedReport decoded;
    if (m_store.Append(data, size, decoded) && decoded.sampleCount > 0)
        Post(kMessageSamplesStored, static_cast<uint32_t>(unit) | (decoded.sampleCount << 16),
             decoded.recordIndex);
    if (m_store.UpdateBattery(unit, data[UnitReport::kBatteryOffset]))
        Post(kMessageSamplesStored, static_cast<uint32_t>(unit));
}

void CMeasurementController::StoreUnitInformation(const uint8_t* data, size_t size) {
    TUnitInformation information;
    // Units outside 1..100 are refused here, before anything is indexed by them.
    if (size < UnitReport::kInformationSize || !DecodeUnitInformation(data, size, information))
        return;
    const int unit = information.Unit();
    {
        std::lock_guard lock(m_pollingLock);
        m_parameters.polling.SetInfoWanted(unit, false);
    }
    m_store.SetUnitInformation(unit, information);
    Post(kMessageSamplesStored, static_cast<uint32_t>(unit));
    if (++m_informationReports > kInformationBurst) {
        m_informationReports = 0;
        Post(kMessageResendPollingSetting);
    } else {
        m_timers.RequestStart(kTimerResendPolling, 500);
    }
}
