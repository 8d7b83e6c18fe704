#include "files/FileOperation.h"

namespace VEK {

CFileOperation::CFileOperation(TWork work)
    : m_worker([this, work = std::move(work)] {
          m_result = work([this](uint64_t done, uint64_t total) { return Report(done, total); });
          m_finished.store(true, std::memory_order_release);
      }) {}

CFileOperation::~CFileOperation() {
    Cancel();
    m_worker.join();
}

bool CFileOperation::Report(uint64_t done, uint64_t total) {
    m_total.store(total, std::memory_order_relaxed);
    m_done.store(done, std::memory_order_relaxed);
    return !CancelRequested();
}

}  // namespace VEK
