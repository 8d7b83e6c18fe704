#pragma once
#include <atomic>
#include <mutex>
#include <vector>

#include "link/AbstractReport.h"
#include "link/ICommunication.h"
#include "support/Thread.h"

namespace VEK {

// Runs one receive thread over an ICommunication and reports received bytes, connect, disconnect,
// idle ticks and the end of the thread to its listener.
class CCommunicationReporter : public CAbstractReport {
public:
    explicit CCommunicationReporter(ICommunication& communication) : m_communication(communication) {}
    ~CCommunicationReporter() override { Stop(); }

    std::string ReportName() const override { return m_communication.QueryProperties().name; }
    uint32_t ReportId() const override { return m_communication.QueryProperties().typeId; }
    bool Start() override;
    void Stop() override;
    bool IsRunning() const override { return m_thread.IsRunning() && m_communication.IsOpen(); }
    bool IsLinked() const override { return m_communication.IsLinked(); }
    bool Send(size_t size, const uint8_t* bytes) override;
    void DropPending() override;

    // The receive thread, for raising its priority after attaching.
    CThread& Thread() { return m_thread; }

private:
    enum class EStep { kContinue, kSkipPause, kEnd };

    void Run(const std::atomic<bool>& stop);
    EStep Poll(bool& connected);

    static constexpr size_t kAnyUnitBufferSize = 10000;

    ICommunication& m_communication;
    std::vector<uint8_t> m_buffer;
    std::atomic<bool> m_stopRequested{false};
    // Set from Start to Stop: a second Stop (the base destructor after the owning variant's) must
    // not touch a transport that may be gone.
    std::atomic<bool> m_started{false};
    std::mutex m_pollLock;
    CThread m_thread;
};

// A reporter that owns its transport, e.g. CCommunicationReporterT<CUsbHid>.
template <class T>
class CCommunicationReporterT : public CCommunicationReporter {
public:
    template <class... TArgs>
    explicit CCommunicationReporterT(TArgs&&... args)
        : CCommunicationReporter(m_transport), m_transport(std::forward<TArgs>(args)...) {}
    ~CCommunicationReporterT() override { Stop(); }

    T& Transport() { return m_transport; }

private:
    T m_transport;
};

}  // namespace VEK
