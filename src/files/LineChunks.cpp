#include "files/LineChunks.h"

#include <algorithm>
#include <cstring>

namespace VEK {

CLineChunks::CLineChunks(IReader& reader, size_t chunkSize)
    : m_reader(reader), m_chunkSize(std::max<size_t>(chunkSize, 1)) {}

size_t CLineChunks::CutAfterLastLine() const {
    size_t i = m_filled;
    // A CR at the very end may be followed by the LF of its pair in the next read.
    if (i > 0 && m_buffer[i - 1] == '\r')
        --i;
    while (i > 0 && m_buffer[i - 1] != '\n' && m_buffer[i - 1] != '\r') --i;
    return i;
}

void CLineChunks::MakeRoom() {
    if (m_buffer.empty()) {
        // One byte more than the file has, so that the first read already tells its end.
        const uint64_t size = m_reader.Size();
        m_buffer.resize(static_cast<size_t>(std::min<uint64_t>(m_chunkSize, size + 1)) + 1);
    } else if (m_buffer.size() - 1 < m_chunkSize) {
        m_buffer.resize(std::min(m_chunkSize, (m_buffer.size() - 1) * 2) + 1);
    }
}

std::string_view CLineChunks::Next() {
    // The partial line left by the last call moves to the front.
    if (m_cut > 0)
        std::memmove(m_buffer.data(), m_buffer.data() + m_cut, m_filled - m_cut);
    m_filled -= m_cut;
    m_cut = 0;
    if (!m_end)
        MakeRoom();
    for (;;) {
        if (!m_end && m_filled < m_buffer.size() - 1) {
            const size_t wanted = m_buffer.size() - 1 - m_filled;
            const size_t got = m_reader.ReadAt(m_offset, m_buffer.data() + m_filled, wanted);
            m_offset += got;
            m_filled += got;
            m_end = got < wanted;
        }
        m_cut = m_end ? m_filled : CutAfterLastLine();
        if (m_cut > 0 || m_end)
            break;
        if (m_buffer.size() - 1 >= m_longestLine) {
            m_tooLong = true;
            return {};
        }
        m_buffer.resize(m_buffer.size() * 2);  // a line longer than the buffer
    }
    if (m_end)
        m_buffer[m_filled] = '\n';
    m_done += m_cut;
    return {m_buffer.data(), m_cut};
}

}  // namespace VEK
