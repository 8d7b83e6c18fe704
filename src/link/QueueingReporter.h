#pragma once
#include <mutex>

#include "link/IReport.h"
#include "link/RingQueueT.h"
#include "support/CopyImpossible.h"

namespace VEK {

// Sits between a report and a frame analysis: queues the received bytes, lets the analysis take
// frames from the head, and breaks up a partial frame that stalls for the gap time.
class CQueueingReporter : public IReport::IListener, private CCopyImpossible {
public:
    using TQueue = CRingQueueT<uint8_t>;
    static constexpr size_t kQueueCapacity = 10000;
    static constexpr int kGapTimeMs = 100;

    class IListener {
    public:
        virtual ~IListener() = default;
        // State events other than data.
        virtual bool HandleReportEvent(const CReportEvent& event) = 0;
        // Bytes to remove from the head of the queue (0: wait for more). With flush set nothing
        // more will come, so a partial frame must be given up.
        virtual size_t AnalyzeQueue(bool flush, const TQueue& queue) = 0;
        // A byte dropped after a gap.
        virtual void HandleGapByte(uint8_t /*byte*/) {}
    };

    explicit CQueueingReporter(IListener& listener) : m_listener(listener) {}

    // The report whose idle interval is switched for the gap rule; may be null.
    void SetReport(IReport* report) { m_report = report; }
    void Clear();

    bool HandleReportEvent(const CReportEvent& event) override;

    // Test and fuzzing access: the bytes still queued.
    std::vector<uint8_t> QueuedBytes();

private:
    void AppendAndAnalyze(const uint8_t* bytes, size_t size);
    void Analyze(bool flush);
    void SetIdleTime(int ms);

    IListener& m_listener;
    IReport* m_report = nullptr;
    std::mutex m_queueLock;
    TQueue m_queue{kQueueCapacity};
};

}  // namespace VEK
