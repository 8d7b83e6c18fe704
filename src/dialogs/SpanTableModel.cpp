#include "dialogs/SpanTableModel.h"

#include <cstdio>

#include "support/NumberText.h"

namespace {

std::string Tenths(int16_t tenths) {
    return IsValidReading(tenths) ? VEK::FormatScaled(tenths, 1) : std::string();
}

std::string Hundredths(const std::optional<int64_t>& value) {
    return value ? VEK::FormatScaled(*value, 2) : std::string();
}

bool SubSecond(const TSpanStatistics& statistics) {
    return statistics.periodMs % 1000 != 0;
}

}  // namespace

std::string CSpanTableModel::RecordTime(const TSpanStatistics& statistics, uint32_t record,
                                        const char* date) {
    const VEK::CSystemTime time = statistics.TimeOf(record);
    std::string text = time.Format((std::string(date) + "%H:%M:%S").c_str());
    if (SubSecond(statistics))
        text += "." + std::to_string(time.millisecond / 100);
    return text;
}

std::string CSpanTableModel::SpanText(const TSpanStatistics& statistics) {
    const int64_t ms = statistics.SpanMilliseconds();
    const uint64_t magnitude = static_cast<uint64_t>(ms < 0 ? -ms : ms);
    const uint64_t seconds = magnitude / 1000;
    char text[48];
    std::snprintf(text, sizeof text, "%s%02llu:%02llu:%02llu", ms < 0 ? "-" : "",
                  static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned long long>(seconds / 60 % 60),
                  static_cast<unsigned long long>(seconds % 60));
    std::string result = text;
    if (SubSecond(statistics))
        result += "." + std::to_string(magnitude % 1000 / 100);
    return result;
}

void CSpanTableModel::SetStatistics(const TSpanStatistics& statistics) {
    bool sameRows = statistics.channels.size() == m_statistics.channels.size();
    for (size_t i = 0; sameRows && i < statistics.channels.size(); ++i)
        sameRows = statistics.channels[i].channel == m_statistics.channels[i].channel;
    if (!sameRows)
        beginResetModel();
    m_statistics = statistics;
    if (!sameRows)
        endResetModel();
    else if (!m_statistics.channels.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1), {Qt::DisplayRole});
}

std::string CSpanTableModel::Text(int row, int column) const {
    const TChannelStatistics& channel = m_statistics.channels.at(static_cast<size_t>(row));
    const bool extremes = !channel.extremes.Empty();
    switch (column) {
        case kChannel:
            return std::to_string(channel.channel);
        case kComment:
            return channel.comment;
        case kAtA:
            return FormatReading(channel.atA, false);
        case kAtB:
            return FormatReading(channel.atB, false);
        case kDelta: {
            const std::optional<int32_t> delta = channel.DeltaTenths();
            return delta ? VEK::FormatScaled(*delta, 1) : std::string();
        }
        case kRate:
            return Hundredths(m_statistics.RatePerMinuteHundredths(channel));
        case kMin:
            return extremes ? Tenths(channel.extremes.min) : std::string();
        case kMinTime:
            return extremes ? RecordTime(m_statistics, channel.minRecord) : std::string();
        case kMax:
            return extremes ? Tenths(channel.extremes.max) : std::string();
        case kMaxTime:
            return extremes ? RecordTime(m_statistics, channel.maxRecord) : std::string();
        case kMean:
            return Hundredths(channel.MeanHundredths());
        case kValid:
            return std::to_string(channel.valid);
        case kMissing:
            return std::to_string(channel.Missing());
        default:
            return {};
    }
}

int CSpanTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_statistics.channels.size());
}

int CSpanTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant CSpanTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(Text(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>((index.column() == kComment ? Qt::AlignLeft : Qt::AlignRight) |
                                Qt::AlignVCenter);
    return {};
}

QVariant CSpanTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kHeads[kColumns] = {"CH",     "Comment", "At A",     "At B", "ΔT",
                                                 "ΔT/min", "Min",     "Min time", "Max",  "Max time",
                                                 "Mean",   "Valid",   "Lost/OOR"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromUtf8(kHeads[section]);
}
