#include "data/ReadingSums.h"

#include <algorithm>

namespace {

size_t NodesFor(size_t readings) {
    return (readings + CReadingSums::kNodeRecords - 1) / CReadingSums::kNodeRecords;
}

}  // namespace

void CReadingSums::RecomputeNode(const TSeries& series, size_t node) {
    const size_t first = node * kNodeRecords;
    const size_t end = std::min(first + kNodeRecords, series.Size());
    TReadingSum total;
    for (size_t i = first; i < end; ++i) total.Add(series.Get(i).Tenths());
    m_nodes[node] = {static_cast<int32_t>(total.sum), static_cast<uint32_t>(total.count)};
}

void CReadingSums::Resize(const TSeries& series) {
    const bool shrunk = series.Size() < m_size;
    m_size = series.Size();
    const size_t nodes = NodesFor(m_size);
    // Growing by an eighth, as the summary beside it does.
    if (nodes > m_nodes.capacity())
        m_nodes.reserve(std::max(nodes, m_nodes.capacity() + m_nodes.capacity() / 8));
    m_nodes.resize(nodes);
    if (shrunk && nodes > 0)
        RecomputeNode(series, nodes - 1);
}

void CReadingSums::Recompute(const TSeries& series, size_t first, size_t end) {
    end = std::min(end, series.Size());
    if (first >= end || m_nodes.empty())
        return;
    const size_t last = std::min((end - 1) / kNodeRecords, m_nodes.size() - 1);
    for (size_t node = first / kNodeRecords; node <= last; ++node) RecomputeNode(series, node);
}

void CReadingSums::Rebuild(const TSeries& series) {
    m_size = series.Size();
    m_nodes.assign(NodesFor(m_size), {});
    for (size_t node = 0; node < m_nodes.size(); ++node) RecomputeNode(series, node);
}

TReadingSum CReadingSums::Sum(const TSeries& series, size_t first, size_t end) const {
    end = std::min({end, series.Size(), m_size});
    TReadingSum total;
    if (first >= end)
        return total;
    // Whole nodes from the first boundary at or after first to the last at or before end.
    const size_t inner = std::min((first + kNodeRecords - 1) / kNodeRecords * kNodeRecords, end);
    const size_t outer = std::max(end / kNodeRecords * kNodeRecords, inner);
    for (size_t i = first; i < inner; ++i) total.Add(series.Get(i).Tenths());
    for (size_t node = inner / kNodeRecords; node < outer / kNodeRecords; ++node) {
        total.sum += m_nodes[node].sum;
        total.count += m_nodes[node].count;
    }
    for (size_t i = outer; i < end; ++i) total.Add(series.Get(i).Tenths());
    return total;
}
