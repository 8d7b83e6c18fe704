#include "data/ReadingSummary.h"

namespace {

// Nodes per level for n readings: ceil(n / 16), then ceil of that / 16, ... down to one node.
std::vector<size_t> LevelSizes(size_t readings) {
    std::vector<size_t> sizes;
    if (readings == 0)
        return sizes;
    size_t count = readings;
    do {
        count = (count + CReadingSummary::kFanOut - 1) / CReadingSummary::kFanOut;
        sizes.push_back(count);
    } while (count > 1);
    return sizes;
}

}  // namespace

size_t TEnvelopeGrid::NodeRecords() const {
    const size_t share = columns == 0 ? 0 : span / columns;
    size_t records = 1;
    while (records * CReadingSummary::kFanOut <= share) records *= CReadingSummary::kFanOut;
    return records;
}

size_t TEnvelopeGrid::ColumnStart(size_t column) const {
    if (column == 0)
        return first;
    if (column >= columns)
        return first + span;
    const size_t nominal = first + (column * span + columns - 1) / columns;
    return nominal - nominal % NodeRecords();
}

size_t TEnvelopeGrid::ColumnOf(size_t index) const {
    if (columns == 0 || span == 0 || index <= first)
        return 0;
    const size_t column = std::min((index - first) * columns / span, columns - 1);
    return column + 1 < columns && index >= ColumnStart(column + 1) ? column + 1 : column;
}

TReadingExtremes CReadingSummary::FromReadings(const TSeries& series, size_t first, size_t end) const {
    TReadingExtremes extremes;
    for (size_t i = first; i < end; ++i) extremes.Widen(series.Get(i).Tenths());
    return extremes;
}

TReadingExtremes CReadingSummary::FromChildren(size_t level, size_t node) const {
    const std::vector<TReadingExtremes>& children = m_levels[level - 1];
    const size_t first = node * kFanOut;
    const size_t end = std::min(first + kFanOut, children.size());
    TReadingExtremes extremes;
    for (size_t c = first; c < end; ++c) extremes.Widen(children[c]);
    return extremes;
}

void CReadingSummary::RecomputeNode(const TSeries& series, size_t level, size_t node) {
    if (level == 0) {
        const size_t first = node * kFanOut;
        m_levels[0][node] = FromReadings(series, first, std::min(first + kFanOut, series.Size()));
    } else {
        m_levels[level][node] = FromChildren(level, node);
    }
}

void CReadingSummary::Resize(const TSeries& series) {
    const bool shrunk = series.Size() < m_size;
    m_size = series.Size();
    const std::vector<size_t> sizes = LevelSizes(m_size);
    m_levels.resize(sizes.size());
    for (size_t level = 0; level < sizes.size(); ++level) {
        std::vector<TReadingExtremes>& nodes = m_levels[level];
        const bool added = nodes.empty();
        // Growing by an eighth keeps the spare room within the summary's own eighth of the
        // readings' memory; doubling would take as much again.
        if (sizes[level] > nodes.capacity())
            nodes.reserve(std::max(sizes[level], nodes.capacity() + nodes.capacity() / 8));
        // Growth appends Lost readings: added nodes stay empty, except on a new top level, which
        // gathers the nodes below it.
        nodes.resize(sizes[level]);
        if (level > 0 && added) {
            for (size_t node = 0; node < nodes.size(); ++node) RecomputeNode(series, level, node);
        } else if (shrunk) {
            RecomputeNode(series, level, nodes.size() - 1);
        }
    }
    m_sums.Resize(series);
}

void CReadingSummary::Widen(const TSeries& series, size_t first, size_t end) {
    end = std::min(end, series.Size());
    if (first >= end || m_levels.empty())
        return;
    m_sums.Recompute(series, first, end);
    std::vector<TReadingExtremes>& lowest = m_levels[0];
    for (size_t i = first; i < end; ++i) lowest[i / kFanOut].Widen(series.Get(i).Tenths());
    size_t low = first / kFanOut;
    size_t high = (end - 1) / kFanOut;
    for (size_t level = 1; level < m_levels.size(); ++level) {
        for (size_t child = low; child <= high; ++child)
            m_levels[level][child / kFanOut].Widen(m_levels[level - 1][child]);
        low /= kFanOut;
        high /= kFanOut;
    }
}

void CReadingSummary::Recompute(const TSeries& series, size_t index) {
    if (index >= series.Size())
        return;
    size_t node = index / kFanOut;
    for (size_t level = 0; level < m_levels.size(); ++level, node /= kFanOut)
        RecomputeNode(series, level, node);
    m_sums.Recompute(series, index, index + 1);
}

void CReadingSummary::Rebuild(const TSeries& series) {
    m_size = series.Size();
    const std::vector<size_t> sizes = LevelSizes(m_size);
    m_levels.assign(sizes.size(), {});
    for (size_t level = 0; level < sizes.size(); ++level) {
        m_levels[level].resize(sizes[level]);
        for (size_t node = 0; node < sizes[level]; ++node) RecomputeNode(series, level, node);
    }
    m_sums.Rebuild(series);
}

TReadingExtremes CReadingSummary::Extremes(const TSeries& series, size_t first, size_t end) const {
    end = std::min(end, series.Size());
    TReadingExtremes extremes;
    for (size_t i = first; i < end;) {
        // The largest node that starts at i and ends by end, else the reading itself.
        size_t level = 0;
        size_t records = 1;
        while (level < m_levels.size() && i % (records * kFanOut) == 0 && i + records * kFanOut <= end) {
            records *= kFanOut;
            ++level;
        }
        if (level == 0)
            extremes.Widen(series.Get(i).Tenths());
        else
            extremes.Widen(m_levels[level - 1][i / records]);
        i += records;
    }
    return extremes;
}

void CReadingSummary::Envelope(const TSeries& series, const TEnvelopeGrid& grid, size_t columnBegin,
                               size_t columnEnd, TReadingExtremes* out) const {
    const size_t end = std::min(grid.end, series.Size());
    // The level whose nodes the inner column edges lie on.
    const size_t nodeRecords = grid.NodeRecords();
    size_t level = 0;
    for (size_t records = nodeRecords; records > 1; records /= kFanOut) ++level;
    const std::vector<TReadingExtremes>* nodes =
        level > 0 && level <= m_levels.size() ? &m_levels[level - 1] : nullptr;
    size_t from = grid.ColumnStart(columnBegin);
    for (size_t column = columnBegin; column < columnEnd; ++column) {
        const size_t to = std::min(grid.ColumnStart(column + 1), end);
        TReadingExtremes& extremes = out[column - columnBegin];
        extremes = {};
        if (nodes != nullptr && from % nodeRecords == 0 && to % nodeRecords == 0) {
            for (size_t node = from / nodeRecords; node < to / nodeRecords; ++node)
                extremes.Widen((*nodes)[node]);
        } else if (from < to) {
            extremes = Extremes(series, from, to);
        }
        from = grid.ColumnStart(column + 1);
    }
}

size_t CReadingSummary::FirstIndexOf(const TSeries& series, size_t first, size_t end, int16_t value,
                                     bool lowest) const {
    end = std::min(end, series.Size());
    // The pieces Extremes takes, in order; only a node whose extreme is value can hold it.
    for (size_t i = first; i < end;) {
        size_t level = 0;
        size_t records = 1;
        while (level < m_levels.size() && i % (records * kFanOut) == 0 && i + records * kFanOut <= end) {
            records *= kFanOut;
            ++level;
        }
        if (level == 0) {
            if (series.Get(i).Tenths() == value)
                return i;
        } else {
            const size_t found = FirstIndexInNode(series, level - 1, i / records, value, lowest);
            if (found != SIZE_MAX)
                return found;
        }
        i += records;
    }
    return end;
}

size_t CReadingSummary::FirstIndexInNode(const TSeries& series, size_t level, size_t node, int16_t value,
                                         bool lowest) const {
    const TReadingExtremes& extremes = m_levels[level][node];
    if (extremes.Empty() || (lowest ? extremes.min : extremes.max) != value)
        return SIZE_MAX;
    const size_t first = node * kFanOut;
    if (level == 0) {
        for (size_t i = first; i < std::min(first + kFanOut, series.Size()); ++i) {
            if (series.Get(i).Tenths() == value)
                return i;
        }
        return SIZE_MAX;
    }
    for (size_t child = first; child < std::min(first + kFanOut, m_levels[level - 1].size()); ++child) {
        const size_t found = FirstIndexInNode(series, level - 1, child, value, lowest);
        if (found != SIZE_MAX)
            return found;
    }
    return SIZE_MAX;
}

size_t CReadingSummary::Bytes() const {
    size_t bytes = m_sums.Bytes();
    for (const auto& nodes : m_levels) bytes += nodes.capacity() * sizeof(TReadingExtremes);
    return bytes;
}
