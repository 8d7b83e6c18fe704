#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "display/ListPaging.h"
#include "display/MyTemperatureValueListRapper.h"
#include "files/AccessorSection.h"

class CMeasurementDataManager;
struct TUnitInformation;

// The five channel value lists of the main window without their controls: list 0 beside the graph
// holds every channel in use, lists 1 to 4 page through the channels by number while the graph is
// hidden. Operations on a channel apply to every list that shows it. Refreshes return what the
// controls have to paint again and which channels went silent. Window thread only.
class CTemperatureValueLists {
public:
    static constexpr int kLists = 5;
    static constexpr int kChannels = CMyTemperatureValueListRapper::kChannels;
    using TClock = CMyTemperatureValueListRapper::TClock;

    struct TCellChange {
        int list;
        int row;
        int column;
        TCellLook look;
    };
    struct TRefresh {
        std::vector<TCellChange> cells;
        // Each silent channel once, however many lists show it.
        std::vector<int> lostChannels;
    };
    // What a rebuild takes from outside the record store.
    struct TRebuildInput {
        uint8_t visibleItemsSingle = 2;
        uint8_t visibleItemsOnly = 3;
        // Row header patches, 0xRRGGBB: entry 0 for a channel hidden from the graph, 1..100 the
        // channels' colours.
        std::array<uint32_t, kChannels + 1> markColors{};
        // Whether the graph shows a channel; every channel when empty.
        std::function<bool(int)> shownInGraph;
        // The widths at the lists' font.
        TListWidthRules widthRules;
    };

    // The steady clock in milliseconds.
    static int64_t SteadyClockMs();

    explicit CTemperatureValueLists(TClock clock = SteadyClockMs);

    CMyTemperatureValueListRapper& List(int list) { return m_lists.at(list); }
    const CMyTemperatureValueListRapper& List(int list) const { return m_lists.at(list); }
    // The list count and page of the lists without the graph.
    CListPaging& Paging() { return m_paging; }
    const CListPaging& Paging() const { return m_paging; }

    // Every list anew from the record store: columns, widths from the "list-column" section, rows,
    // the page count (the page kept within it), unit information where known.
    void RebuildLists(const CMeasurementDataManager& store, const TRebuildInput& input,
                      const VEK::AccessorSection& widths);
    // Row header and column widths as they are now; false when a write was refused.
    bool SaveColumnWidths(const VEK::AccessorSection& widths) const;

    void SetChannelValue(int channel, const std::string& text, bool valid, uint32_t color, bool exempt);
    // The newest reading of a running measurement, from record `record`: a reading of an older
    // record than the one shown (a late or repeated report) leaves the value as it is.
    void SetLiveReading(int channel, int16_t tenths, bool adjusted, uint32_t record);
    // Battery level and version of present information; unknown and empty otherwise.
    void SetUnitInformation(int channel, const TUnitInformation& information);
    void SetChannelBattery(int channel, int32_t level);
    void SetChannelVersion(int channel, const std::string& text);
    // False when the list has no row for the channel.
    bool SetChannelColorMark(int list, int channel, uint32_t color);

    // Every row "Lost", lost detection off, then a refresh that reports no channel as lost.
    TRefresh MarkAllLost(bool isStatic);
    void SetLostTimeout(uint32_t ms);
    TRefresh RefreshLists(bool isStatic);
    // Every channel in use shows its reading of record k (Lost beyond its readings), then a refresh.
    TRefresh ShowValuesAtRecord(const CMeasurementDataManager& store, uint32_t record);

private:
    void FillListZero(const CMeasurementDataManager& store, const TRebuildInput& input);
    void FillPages(const CMeasurementDataManager& store, const TRebuildInput& input);
    void InsertRow(int list, const CMeasurementDataManager& store, int channel, uint32_t markColor);

    std::array<CMyTemperatureValueListRapper, kLists> m_lists;
    CListPaging m_paging;
    // Per channel the record of the live value shown, -1 before the first.
    std::array<int64_t, kChannels + 1> m_liveRecord;
};
