#pragma once
// What a listener records on another thread: changes under one lock, readers take copies, and a
// test waits (bounded) until a condition holds, then asserts on the result.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace testing_support {

class CGuardedRecord {
public:
    template <class TChange>
    void Record(TChange change) {
        std::lock_guard<std::mutex> lock(m_lock);
        change();
        m_changed.notify_all();
    }
    template <class T>
    T Get(const T& value) {
        std::lock_guard<std::mutex> lock(m_lock);
        return value;
    }
    template <class TCondition>
    bool WaitUntil(TCondition condition, std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, limit, condition);
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
};

}  // namespace testing_support
