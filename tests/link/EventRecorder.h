#pragma once
// Collects what a report or a commander hands to its listener, and lets a test wait for it.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "link/IReport.h"

namespace link_test {

// Waits (bounded) until condition holds under the lock; the test then asserts on the result.
template <class TCondition>
bool WaitUntil(std::mutex& lock, std::condition_variable& changed, TCondition condition,
               std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, limit, condition);
}

class CEventRecorder : public VEK::IReport::IListener {
public:
    bool HandleReportEvent(const VEK::CReportEvent& event) override {
        std::lock_guard<std::mutex> lock(m_lock);
        if (event.IsData()) {
            m_bytes.insert(m_bytes.end(), event.data, event.data + event.size);
        } else {
            m_kinds.push_back(event.kind);
            if (event.kind == VEK::CReportEvent::kError)
                m_lastError = event.errorCode;
        }
        m_changed.notify_all();
        return m_answer;
    }

    // State event kinds in order (idle events left out).
    std::vector<int> Kinds() {
        std::lock_guard<std::mutex> lock(m_lock);
        std::vector<int> kinds;
        for (int kind : m_kinds) {
            if (kind != VEK::CReportEvent::kIdle)
                kinds.push_back(kind);
        }
        return kinds;
    }
    size_t CountOf(int kind) {
        std::lock_guard<std::mutex> lock(m_lock);
        return static_cast<size_t>(std::count(m_kinds.begin(), m_kinds.end(), kind));
    }
    std::vector<uint8_t> Bytes() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_bytes;
    }
    int LastError() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_lastError;
    }
    void SetAnswer(bool answer) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_answer = answer;
    }
    bool WaitForKind(int kind, size_t count = 1) {
        return WaitUntil(m_lock, m_changed, [&] {
            return static_cast<size_t>(std::count(m_kinds.begin(), m_kinds.end(), kind)) >= count;
        });
    }
    bool WaitForBytes(size_t count) {
        return WaitUntil(m_lock, m_changed, [&] { return m_bytes.size() >= count; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<int> m_kinds;
    std::vector<uint8_t> m_bytes;
    int m_lastError = 0;
    bool m_answer = true;
};

}  // namespace link_test
