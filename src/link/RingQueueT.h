#pragma once
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

namespace VEK {

// A bounded FIFO of trivially copyable elements. Its content is always contiguous, so a parser
// can look at the whole queue at once: appending compacts the storage when the tail is reached.
template <class T>
class CRingQueueT {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    explicit CRingQueueT(size_t capacity) : m_storage(capacity) {}

    size_t Capacity() const { return m_storage.size(); }
    size_t Size() const { return m_size; }
    size_t Free() const { return Capacity() - m_size; }
    bool Empty() const { return m_size == 0; }
    const T* Data() const { return m_storage.data() + m_head; }
    const T& operator[](size_t i) const { return m_storage[m_head + i]; }

    // All or nothing: false when the elements do not fit.
    bool Append(const T* elements, size_t count) {
        if (count > Free())
            return false;
        if (m_head + m_size + count > Capacity()) {
            std::memmove(m_storage.data(), m_storage.data() + m_head, m_size * sizeof(T));
            m_head = 0;
        }
        std::memcpy(m_storage.data() + m_head + m_size, elements, count * sizeof(T));
        m_size += count;
        return true;
    }

    // Removes up to count elements from the head, copying them out when out is given.
    size_t Take(size_t count, T* out = nullptr) {
        count = std::min(count, m_size);
        if (out != nullptr)
            std::memcpy(out, Data(), count * sizeof(T));
        m_head += count;
        m_size -= count;
        if (m_size == 0)
            m_head = 0;
        return count;
    }

    void Clear() {
        m_head = 0;
        m_size = 0;
    }

private:
    std::vector<T> m_storage;
    size_t m_head = 0;
    size_t m_size = 0;
};

}  // namespace VEK
