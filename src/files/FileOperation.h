#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "files/FileProgress.h"
#include "support/CopyImpossible.h"

namespace VEK {

// A long file operation on a worker thread, watched from the window thread: how far it has come,
// whether it has ended, and a cancel that the operation sees at its next progress report.
class CFileOperation : private CCopyImpossible {
public:
    // The work gets the progress to report to; it must not touch what the window thread changes.
    using TWork = std::function<bool(const FileProgress& progress)>;

    explicit CFileOperation(TWork work);
    // Cancels and waits for the worker, which stops at its next progress report.
    ~CFileOperation();

    bool Finished() const { return m_finished.load(std::memory_order_acquire); }
    uint64_t Done() const { return m_done.load(std::memory_order_relaxed); }
    uint64_t Total() const { return m_total.load(std::memory_order_relaxed); }
    void Cancel() { m_cancel.store(true, std::memory_order_relaxed); }
    bool CancelRequested() const { return m_cancel.load(std::memory_order_relaxed); }
    // The work's result, once Finished (false before).
    bool Result() const { return Finished() && m_result; }

private:
    bool Report(uint64_t done, uint64_t total);

    std::atomic<uint64_t> m_done{0};
    std::atomic<uint64_t> m_total{0};
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    bool m_result = false;  // written before m_finished, read after it
    std::thread m_worker;   // last: it starts once the members above exist
};

}  // namespace VEK
