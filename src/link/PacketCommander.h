#pragma once
#include <atomic>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

#include "link/IPacketCommandExecuter.h"
#include "link/IReport.h"
#include "link/QueueingReporter.h"
#include "support/CopyImpossible.h"

namespace VEK {

// Turns a report into a packet channel: sends packets, cuts the received bytes into frames with
// the parser packet, pairs response frames with the commands waiting for them, and hands every
// other frame, every dropped byte and every state change to the listener.
//
// Locks: the queue lock (held by the queueing component during an analysis) is taken before the
// task lock, never after; Exchange takes the task lock and the send lock one after the other.
class CPacketCommander : public IPacketCommandExecuter, private CCopyImpossible {
public:
    // Called on the report's receive thread.
    class IListener {
    public:
        virtual ~IListener() = default;
        // A frame nobody waited for; lastKeyResult is what the last waiting response packet
        // answered for it (0 when nobody waited).
        virtual void HandleUnclaimedFrame(IPacket& parser, int lastKeyResult) = 0;
        // A frame claimed by a waiting command, just before the waiter wakes.
        virtual void HandleClaimedFrame(IPacket& /*parser*/) {}
        // code: the parser's negative result, or -1 after a gap or at disconnection.
        virtual void HandleDroppedByte(uint8_t byte, int code) = 0;
        // A state event of the report (CReportEvent kinds); false ends the receive thread.
        virtual bool HandleLinkState(int kind) = 0;
    };

    static constexpr int kTimeout = -1;
    static constexpr int kRefused = -2;
    static constexpr int kEnded = -3;
    static constexpr int kNotAttached = -4;

    CPacketCommander() : m_queueing(m_inner) {}
    ~CPacketCommander() override { DetachReport(); }

    void SetListener(IListener* listener) { m_inner.SetListener(listener); }
    // The packet that recognises frames; borrowed. Set it before Attach.
    void SetParser(IPacket* parser) { m_inner.SetParser(parser); }

    // Stops a report attached before, then attaches and starts this one. False when report or
    // parser is missing, or the report does not start.
    bool Attach(IReport* report);
    virtual void Detach();
    // A report is attached and alive.
    bool IsRunning() const;

    int Send(const IPacket& packet) override;
    int Exchange(IPacket& response, const IPacket& command, int timeoutMs) override;

    // The queueing component the report feeds (fuzzing and benchmarks drive it directly).
    CQueueingReporter& Queueing() { return m_queueing; }

    class CInner : public CQueueingReporter::IListener {
    public:
        struct TTask {
            std::thread::id thread;
            IPacket* key = nullptr;  // the response packet the caller waits with
            bool done = false;
            int result = 0;
        };

        void SetListener(CPacketCommander::IListener* listener) { m_listener = listener; }
        void SetParser(IPacket* parser) { m_parser = parser; }
        bool HasParser() const { return m_parser != nullptr; }

        std::list<TTask>::iterator AddTask(IPacket& key);
        // Waits for the task to finish and removes it: its result, or kTimeout.
        int AwaitTask(std::list<TTask>::iterator task, int timeoutMs);
        void RemoveTask(std::list<TTask>::iterator task);

        bool HandleReportEvent(const CReportEvent& event) override;
        size_t AnalyzeQueue(bool flush, const CQueueingReporter::TQueue& queue) override;
        void HandleGapByte(uint8_t byte) override;

    private:
        void DropByte(uint8_t byte, int code);
        // The first waiting task whose key accepts the frame gets it; false when none does.
        bool ClaimFrame(const CQueueingReporter::TQueue& queue, int& lastKeyResult);

        std::mutex m_taskLock;
        std::condition_variable m_taskDone;
        std::list<TTask> m_tasks;
        CPacketCommander::IListener* m_listener = nullptr;
        IPacket* m_parser = nullptr;
    };

private:
    IReport* CurrentReport() const { return m_report.load(); }
    void DetachReport();
    int SendFrame(IReport& report, const std::vector<uint8_t>& frame);

    CInner m_inner;
    CQueueingReporter m_queueing;
    std::mutex m_sendLock;
    std::atomic<IReport*> m_report{nullptr};
};

}  // namespace VEK
