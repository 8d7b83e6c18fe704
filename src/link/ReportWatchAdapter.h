#pragma once
#include <atomic>

#include "link/AbstractReport.h"

namespace VEK {

// A report that forwards to a target report, so that a commander can stay attached to it while
// the transport behind it is swapped. The target can be changed while the adapter is not alive.
class CReportWatchAdapter : public CAbstractReport {
public:
    CReportWatchAdapter() : m_inner(*this) {}
    // Leaves the target alone: it may already be gone. Its owner stops it before either goes.
    ~CReportWatchAdapter() override = default;

    // False (and nothing changes) while the adapter is alive.
    bool SetTarget(IReport* target);
    IReport* Target() const { return m_target; }

    std::string ReportName() const override;
    uint32_t ReportId() const override;
    void SetIdleTime(int ms) override;
    bool Start() override;
    void Stop() override;
    bool IsRunning() const override;
    bool IsLinked() const override;
    bool Send(size_t size, const uint8_t* bytes) override;
    void DropPending() override;

private:
    // Registered on the target; passes every event on to the adapter's listener.
    class CInner : public IListener {
    public:
        explicit CInner(CReportWatchAdapter& adapter) : m_adapter(adapter) {}
        bool HandleReportEvent(const CReportEvent& event) override { return m_adapter.Deliver(event); }

    private:
        CReportWatchAdapter& m_adapter;
    };

    CInner m_inner;
    std::atomic<IReport*> m_target{nullptr};
};

}  // namespace VEK
