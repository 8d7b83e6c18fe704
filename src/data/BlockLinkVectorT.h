#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <deque>
#include <memory>

namespace VEK {

// A growable array kept in blocks of BlockSize elements that are never moved once allocated, so
// growth costs no copying. New elements hold T(). Removing from the front drops whole blocks and
// moves a start offset in the first one; nothing else moves. Not synchronised: callers lock.
template <typename T, size_t BlockSize = 1024>
class CBlockLinkVectorT {
public:
    using TBlock = std::array<T, BlockSize>;

    size_t Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }
    // Caller guarantees i < Size().
    const T& Get(size_t i) const { return Slot(i); }
    T& Get(size_t i) { return Slot(i); }
    // Element i and length, the count of elements from it that lie in one piece of memory (at
    // least 1, up to the end of its block or of the array). Caller guarantees i < Size().
    T* Run(size_t i, size_t& length) {
        const size_t position = m_start + i;
        length = std::min(BlockSize - position % BlockSize, m_size - i);
        return &(*m_blocks[position / BlockSize])[position % BlockSize];
    }
    // Grows to i + 1 when needed.
    void Set(size_t i, const T& value) {
        if (i >= m_size)
            Resize(i + 1);
        Slot(i) = value;
    }
    // Truncates, or grows with T().
    void Resize(size_t size) {
        if (size < m_size) {
            Truncate(size);
        } else {
            while (m_blocks.size() * BlockSize < m_start + size)
                m_blocks.push_back(std::make_unique<TBlock>());
        }
        m_size = size;
    }
    void RemoveFront(size_t count) {
        if (count >= m_size) {
            Clear();
            return;
        }
        m_start += count;
        m_size -= count;
        for (; m_start >= BlockSize; m_start -= BlockSize) m_blocks.pop_front();
    }
    void Clear() {
        m_blocks.clear();
        m_start = 0;
        m_size = 0;
    }
    size_t BlockCount() const { return m_blocks.size(); }

private:
    T& Slot(size_t i) const {
        const size_t position = m_start + i;
        return (*m_blocks[position / BlockSize])[position % BlockSize];
    }
    // Frees the blocks past the new end and resets the dropped tail of the last one, so growing
    // again finds T() there.
    void Truncate(size_t size) {
        const size_t end = m_start + size;
        const size_t blocksNeeded = (end + BlockSize - 1) / BlockSize;
        while (m_blocks.size() > blocksNeeded) m_blocks.pop_back();
        for (size_t position = end; position < blocksNeeded * BlockSize; ++position) {
            (*m_blocks[position / BlockSize])[position % BlockSize] = T();
        }
        if (size == 0)
            Clear();
    }

    // The deque moves only its pointers; the blocks stay where they are.
    std::deque<std::unique_ptr<TBlock>> m_blocks;
    size_t m_start = 0;  // position of element 0 in the first block
    size_t m_size = 0;
};

}  // namespace VEK
