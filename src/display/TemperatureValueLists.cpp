#include "display/TemperatureValueLists.h"

#include <algorithm>
#include <chrono>

#include "data/MeasurementDataManager.h"
#include "display/ListColumnWidths.h"
#include "display/ReadingCells.h"
#include "display/ValueListColors.h"
#include "files/CodeTables.h"

int64_t CTemperatureValueLists::SteadyClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

CTemperatureValueLists::CTemperatureValueLists(TClock clock)
    : m_lists{CMyTemperatureValueListRapper(clock), CMyTemperatureValueListRapper(clock),
              CMyTemperatureValueListRapper(clock), CMyTemperatureValueListRapper(clock),
              CMyTemperatureValueListRapper(clock)} {
    m_liveRecord.fill(-1);
}

void CTemperatureValueLists::RebuildLists(const CMeasurementDataManager& store, const TRebuildInput& input,
                                          const VEK::AccessorSection& widths) {
    // Live values of a run that ended (or has not begun) say nothing about the next one.
    if (store.State() != CMeasurementDataManager::kStateMeasuring)
        m_liveRecord.fill(-1);
    const std::vector<uint32_t> adjusted = store.AdjustedChannels();
    for (int list = 0; list < kLists; ++list) {
        CMyTemperatureValueListRapper& wrapper = m_lists[list];
        wrapper.ClearEntries();
        wrapper.SetupColumns(list == 0 ? input.visibleItemsSingle : input.visibleItemsOnly, !adjusted.empty(),
                             input.widthRules);
        ListColumnWidths::Read(wrapper, list, widths);
    }
    FillListZero(store, input);
    FillPages(store, input);
}

void CTemperatureValueLists::FillListZero(const CMeasurementDataManager& store, const TRebuildInput& input) {
    for (int32_t channel : store.ChannelsInUse()) {
        const bool shown = !input.shownInGraph || input.shownInGraph(channel);
        InsertRow(0, store, channel, input.markColors[shown ? channel : 0]);
    }
}

void CTemperatureValueLists::FillPages(const CMeasurementDataManager& store, const TRebuildInput& input) {
    const std::vector<int32_t> inUse = store.ChannelsInUse();
    const int highest = inUse.empty() ? 0 : *std::max_element(inUse.begin(), inUse.end());
    m_paging.SetHighestChannel(highest);
    const int first = m_paging.FirstChannel(0);
    const int last = std::min(highest, first + CListPaging::kMaxLists * CListPaging::kChannelsPerList - 1);
    for (int channel = first; channel <= last; ++channel) {
        const int list = 1 + (channel - first) / CListPaging::kChannelsPerList;
        if (store.Channel(channel).InUse()) {
            InsertRow(list, store, channel, input.markColors[channel]);
            continue;
        }
        InsertRow(list, store, channel, input.markColors[0]);
        m_lists[list].SetChannelValue(channel, "", false, ValueListColor::kBlack, true);
    }
}

void CTemperatureValueLists::InsertRow(int list, const CMeasurementDataManager& store, int channel,
                                       uint32_t markColor) {
    const CMeasurementDataManager::CChannel& record = store.Channel(channel);
    CMyTemperatureValueListRapper& wrapper = m_lists[list];
    wrapper.InsertChannelRow(channel, record.Comment(), VEK::ThermocoupleTypeName(record.ThermocoupleType()),
                             markColor);
    const TUnitInformation information = store.UnitInformation(channel);
    if (information.IsPresent()) {
        wrapper.SetChannelBattery(channel, information.Battery());
        wrapper.SetChannelVersion(channel, information.Version());
    }
}

bool CTemperatureValueLists::SaveColumnWidths(const VEK::AccessorSection& widths) const {
    bool written = true;
    for (int list = 0; list < kLists; ++list)
        written = ListColumnWidths::Write(m_lists[list], list, widths) && written;
    return written;
}

void CTemperatureValueLists::SetChannelValue(int channel, const std::string& text, bool valid, uint32_t color,
                                             bool exempt) {
    for (CMyTemperatureValueListRapper& wrapper : m_lists)
        wrapper.SetChannelValue(channel, text, valid, color, exempt);
}

void CTemperatureValueLists::SetLiveReading(int channel, int16_t tenths, bool adjusted, uint32_t record) {
    if (channel < 1 || channel > kChannels || static_cast<int64_t>(record) < m_liveRecord[channel])
        return;
    m_liveRecord[channel] = record;
    const TReadingCells cells = TReadingCells::Of(tenths, adjusted);
    SetChannelValue(channel, cells.text, cells.valid, cells.color, false);
}

void CTemperatureValueLists::SetUnitInformation(int channel, const TUnitInformation& information) {
    const bool present = information.IsPresent();
    SetChannelBattery(channel, present ? information.Battery() : -1);
    SetChannelVersion(channel, present ? information.Version() : std::string());
}

void CTemperatureValueLists::SetChannelBattery(int channel, int32_t level) {
    for (CMyTemperatureValueListRapper& wrapper : m_lists) wrapper.SetChannelBattery(channel, level);
}

void CTemperatureValueLists::SetChannelVersion(int channel, const std::string& text) {
    for (CMyTemperatureValueListRapper& wrapper : m_lists) wrapper.SetChannelVersion(channel, text);
}

bool CTemperatureValueLists::SetChannelColorMark(int list, int channel, uint32_t color) {
    return m_lists.at(list).SetChannelColorMark(channel, color);
}

CTemperatureValueLists::TRefresh CTemperatureValueLists::MarkAllLost(bool isStatic) {
    for (CMyTemperatureValueListRapper& wrapper : m_lists) wrapper.MarkAllLost();
    return RefreshLists(isStatic);
}

void CTemperatureValueLists::SetLostTimeout(uint32_t ms) {
    for (CMyTemperatureValueListRapper& wrapper : m_lists) wrapper.SetLostTimeout(ms);
}

CTemperatureValueLists::TRefresh CTemperatureValueLists::RefreshLists(bool isStatic) {
    TRefresh refresh;
    std::vector<int> lost;
    std::vector<CMyTemperatureValueListRapper::TCellChange> cells;
    for (int list = 0; list < kLists; ++list) {
        cells.clear();
        m_lists[list].Refresh(isStatic, cells, lost);
        for (const auto& cell : cells) refresh.cells.push_back({list, cell.row, cell.column, cell.look});
    }
    std::sort(lost.begin(), lost.end());
    lost.erase(std::unique(lost.begin(), lost.end()), lost.end());
    refresh.lostChannels = std::move(lost);
    return refresh;
}

CTemperatureValueLists::TRefresh CTemperatureValueLists::ShowValuesAtRecord(
    const CMeasurementDataManager& store, uint32_t record) {
    const std::vector<uint32_t> adjusted = store.AdjustedChannels();
    for (int32_t channel : store.ChannelsInUse()) {
        const int16_t tenths = CMeasurementDataManager::GetReading(store.Channel(channel), record);
        const bool isAdjusted =
            std::find(adjusted.begin(), adjusted.end(), static_cast<uint32_t>(channel)) != adjusted.end();
        const TReadingCells cells = TReadingCells::Of(tenths, isAdjusted);
        SetChannelValue(channel, cells.text, cells.valid, cells.color, false);
    }
    return RefreshLists(store.State() == CMeasurementDataManager::kStateHolding);
}
