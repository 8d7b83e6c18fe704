#include "controller/ReceivePath.h"

#include <QMetaObject>
#include <limits>

#include "controller/DongleLink.h"
#include "controller/MeasurementSignals.h"
#include "controller/SharedParameters.h"
#include "controller/StopHandshake.h"
#include "data/MeasurementDataManager.h"
#include "data/StoreMeasurementReport.h"
#include "data/UnitInformation.h"
#include "data/UnitReportLayout.h"
#include "files/OffsetCapture.h"

CReceivePath::CReceivePath(CMeasurementDataManager& store, CSharedParameters& parameters, CDongleLink& link,
                           CStopHandshake& stop, CMeasurementSignals& notifier, QObject* parent)
    : QObject(parent),
      m_store(store),
      m_parameters(parameters),
      m_link(link),
      m_stop(stop),
      m_notifier(notifier) {
    m_offsets.fill(std::numeric_limits<double>::infinity());
}

void CReceivePath::SetOffsets(const TChannelOffsets& offsets) {
    std::lock_guard lock(m_offsetLock);
    m_offsets = offsets;
}

void CReceivePath::SetOffsetCapture(VEK::COffsetCapture* capture) {
    std::lock_guard lock(m_offsetLock);
    m_capture = capture;
}

void CReceivePath::HandlePollingState(bool polling) {
    if (!polling)
        m_stop.PollingStopped();
}

void CReceivePath::HandleMeasurementReport(std::span<const uint8_t> report) {
    using namespace UnitReport;
    if (report.size() < kHeaderSize ||
        report.size() < kHeaderSize + kSampleSize * (report[kCountOffset] & 0x0F) ||
        m_store.State() != CMeasurementDataManager::kStateMeasuring)
        return;
    const int unit = report[kUnitOffset];
    if (!IsUnitNumber(unit))
        return;
    std::vector<uint8_t> corrected;
    {
        std::lock_guard lock(m_offsetLock);
        if (m_capture != nullptr) {
            m_capture->CaptureOffset(report);
            return;
        }
        corrected = ApplyOffsetCorrection(report.data(), report.size(), m_offsets);
    }
    const std::optional<TStoredReport> stored = StoreMeasurementReport(m_store, corrected);
    if (stored && stored->recordCount > 0)
        PostStored(unit, stored->recordCount, stored->recordIndex);
    // Also for a report the store did not take: the unit still told its battery level.
    if (m_store.UpdateBattery(unit, report[kBatteryOffset]))
        PostStored(unit, 0, 0);
}

void CReceivePath::HandleInformationReport(std::span<const uint8_t> report) {
    TUnitInformation information;
    // Units outside 1..100 are refused here, before anything is indexed by them.
    if (report.size() < UnitReport::kInformationSize ||
        !DecodeUnitInformation(report.data(), report.size(), information))
        return;
    const int unit = information.Unit();
    m_parameters.SetInfoWanted(unit, false);
    m_store.SetUnitInformation(unit, information);
    PostStored(unit, 0, 0);
    m_link.InformationReportReceived();
}

bool CReceivePath::HandleLinkState(int kind) {
    m_link.PostLinkState(kind);
    return true;
}

void CReceivePath::PostStored(int channel, uint32_t count, uint32_t firstIndex) {
    const bool first =
        count > 0 ? m_notices.AddReadings(channel, firstIndex, count) : m_notices.AddInformation(channel);
    if (first)
        QMetaObject::invokeMethod(
            this, [this, channel] { OnStored(channel); }, Qt::QueuedConnection);
}

void CReceivePath::OnStored(int channel) {
    const CChannelNotices::TNotice notice = m_notices.Take(channel);
    if (notice.count > 0) {
        const int16_t newest = CMeasurementDataManager::GetReading(m_store.Channel(channel),
                                                                   notice.firstIndex + notice.count - 1);
        emit m_notifier.channelValueChanged(channel,
                                            TChannelValue::Reading(newest, m_store.IsAdjusted(channel)));
        emit m_notifier.samplesStored(channel, notice.count, notice.firstIndex);
    }
    if (!notice.information || !m_store.UnitInformation(channel).IsPresent())
        return;
    if (m_store.State() == CMeasurementDataManager::kStateEmpty)
        emit m_notifier.channelValueChanged(channel, TChannelValue::Ready());
    emit m_notifier.unitInformationChanged(channel);
    emit m_notifier.listsRefreshDue();
}
