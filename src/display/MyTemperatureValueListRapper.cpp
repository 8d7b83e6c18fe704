#include "display/MyTemperatureValueListRapper.h"

#include <algorithm>

#include "display/ValueListColors.h"

namespace {
const char kLostText[] = "Lost";
}  // namespace

CMyTemperatureValueListRapper::CMyTemperatureValueListRapper(TClock clock) : m_clock(std::move(clock)) {}

void CMyTemperatureValueListRapper::SetupColumns(uint8_t visibleItems, bool anyAdjusted,
                                                 const TListWidthRules& rules) {
    m_columnIndex.fill(-1);
    m_rules = rules;
    m_rowHeaderWidth = std::max(rules.rowHeaderDefault, rules.rowHeaderMinimum);
    m_anyAdjusted = anyAdjusted;
    m_columns.clear();
    for (EValueColumn kind : ValueColumnsFor(visibleItems)) {
        m_columnIndex[static_cast<int>(kind)] = static_cast<int>(m_columns.size());
        m_columns.push_back({kind, std::max(rules.DefaultWidth(kind), rules.MinimumWidth(kind))});
    }
}

void CMyTemperatureValueListRapper::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < static_cast<int>(m_columns.size()))
        m_columns[column].width = std::max(width, MinimumWidth(column));
}

int CMyTemperatureValueListRapper::MinimumWidth(int column) const {
    if (column < 0 || column >= static_cast<int>(m_columns.size()))
        return 0;
    return m_rules.MinimumWidth(m_columns[column].kind);
}

void CMyTemperatureValueListRapper::SetRowHeaderWidth(int width) {
    m_rowHeaderWidth = std::max(width, m_rules.rowHeaderMinimum);
}

void CMyTemperatureValueListRapper::ClearEntries() {
    m_rows.clear();
    m_entries.fill(TEntry{});
}

int CMyTemperatureValueListRapper::InsertChannelRow(int channel, std::string comment, std::string typeText,
                                                    uint32_t markColor) {
    if (!IsChannel(channel))
        return -1;
    TEntry& entry = m_entries[channel];
    if (entry.present)
        return entry.row;
    entry.present = true;
    entry.row = static_cast<int>(m_rows.size());
    entry.lastUpdate = m_clock();
    entry.current = TChannelCells{};
    entry.current.typeText = std::move(typeText);
    // What the new row shows before its first refresh.
    entry.drawn = entry.current;
    entry.comment = std::move(comment);
    entry.paintAll = true;
    m_rows.push_back({channel, markColor});
    return entry.row;
}

int CMyTemperatureValueListRapper::RowOf(int channel) const {
    return IsChannel(channel) && m_entries[channel].present ? m_entries[channel].row : -1;
}

bool CMyTemperatureValueListRapper::SetChannelColorMark(int channel, uint32_t color) {
    const int row = RowOf(channel);
    if (row < 0)
        return false;
    m_rows[row].markColor = color;
    return true;
}

CMyTemperatureValueListRapper::TEntry* CMyTemperatureValueListRapper::Present(int channel) {
    return RowOf(channel) >= 0 ? &m_entries[channel] : nullptr;
}

void CMyTemperatureValueListRapper::SetChannelValue(int channel, const std::string& text, bool valid,
                                                    uint32_t color, bool exempt) {
    if (TEntry* entry = Present(channel)) {
        entry->lastUpdate = m_clock();
        entry->current.valueText = text;
        entry->current.valid = valid;
        entry->current.valueColor = color;
        entry->current.exempt = exempt;
    }
}

void CMyTemperatureValueListRapper::SetChannelBattery(int channel, int32_t level) {
    if (TEntry* entry = Present(channel)) {
        entry->lastUpdate = m_clock();
        entry->current.batteryLevel = level;
    }
}

void CMyTemperatureValueListRapper::SetChannelVersion(int channel, const std::string& text) {
    if (TEntry* entry = Present(channel)) {
        entry->lastUpdate = m_clock();
        entry->current.versionText = text;
    }
}

void CMyTemperatureValueListRapper::MarkAllLost() {
    m_lostTimeoutMs = 0;
    for (TEntry& entry : m_entries) {
        if (!entry.present)
            continue;
        entry.current.valueText = kLostText;
        entry.current.valid = false;
        entry.current.valueColor = ValueListColor::kLost;
    }
}

void CMyTemperatureValueListRapper::SetLostTimeout(uint32_t ms) {
    m_lostTimeoutMs = ms;
    const int64_t now = m_clock();
    for (TEntry& entry : m_entries) entry.lastUpdate = now;
}

void CMyTemperatureValueListRapper::Refresh(bool isStatic, std::vector<TCellChange>& changes,
                                            std::vector<int>& lost) {
    for (int channel = 1; channel <= kChannels; ++channel) {
        if (m_entries[channel].present)
            RefreshEntry(channel, m_entries[channel], isStatic, changes, lost);
    }
}

void CMyTemperatureValueListRapper::RefreshEntry(int channel, TEntry& entry, bool isStatic,
                                                 std::vector<TCellChange>& changes, std::vector<int>& lost) {
    TChannelCells& current = entry.current;
    // The exemption as it stands now: a row made exempt since the last refresh is exempt already.
    if (m_lostTimeoutMs != 0 && !current.exempt &&
        m_clock() - entry.lastUpdate >= static_cast<int64_t>(m_lostTimeoutMs)) {
        current.valueText = kLostText;
        current.valid = false;
        current.valueColor = ValueListColor::kLost;
        lost.push_back(channel);
    }
    TChannelCells shown = current;
    if (isStatic) {
        // Battery and version describe the live unit and mean nothing for stored data.
        shown.batteryLevel = -1;
        shown.versionText.clear();
    }
    const TChannelCells& drawn = entry.drawn;
    const bool all = entry.paintAll;
    const bool value = all || shown.valueText != drawn.valueText || shown.valid != drawn.valid ||
                       shown.valueColor != drawn.valueColor;
    const bool type = all || shown.valueColor != drawn.valueColor || shown.typeText != drawn.typeText;
    const bool battery = all || shown.batteryLevel != drawn.batteryLevel;
    const bool version = all || shown.versionText != drawn.versionText || (!isStatic && value);
    entry.drawn = shown;
    entry.paintAll = false;
    const std::pair<EValueColumn, bool> cells[] = {{EValueColumn::kTemperature, value},
                                                   {EValueColumn::kType, type},
                                                   {EValueColumn::kBattery, battery},
                                                   {EValueColumn::kVersion, version}};
    for (const auto& [kind, redraw] : cells) {
        const int column = ColumnIndex(kind);
        if (redraw && column >= 0)
            changes.push_back({entry.row, column, LookOf(entry, kind)});
    }
}

TCellLook CMyTemperatureValueListRapper::CellLook(int row, int column) const {
    const TRow& r = m_rows.at(row);
    return LookOf(m_entries[r.channel], m_columns.at(column).kind);
}

TCellLook CMyTemperatureValueListRapper::LookOf(const TEntry& entry, EValueColumn kind) const {
    using EAlign = TCellLook::EAlign;
    const TChannelCells& drawn = entry.drawn;
    switch (kind) {
        case EValueColumn::kComment:
            return {entry.comment, EAlign::kLeft, ValueListColor::kBlack};
        case EValueColumn::kTemperature:
            return {drawn.valueText, drawn.valid ? EAlign::kRight : EAlign::kCentre, drawn.valueColor};
        case EValueColumn::kType:
            return {drawn.typeText, EAlign::kCentre, drawn.valueColor};
        case EValueColumn::kBattery:
            return {{}, EAlign::kCentre, ValueListColor::kBlack, BatteryIconId(drawn.batteryLevel)};
        case EValueColumn::kVersion:
            return {drawn.versionText, EAlign::kCentre, ValueListColor::kBlack};
    }
    return {};
}
