// The channel value lists without their controls, on a driven clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/Reading.h"
#include "display/TemperatureValueLists.h"
#include "display/ValueListColors.h"
#include "files/InifileAccessor.h"
#include "support/TestHome.h"

namespace {

using EAlign = TCellLook::EAlign;
using TCellChange = CTemperatureValueLists::TCellChange;
constexpr uint32_t kHidden = 0x646464;

class ValueListModelTest : public ::testing::Test {
protected:
    ValueListModelTest() : m_lists([this] { return m_now; }) {
        static int file = 0;
        m_ini.SetPath(testing_support::TestHome() + "/lists/lastone" + std::to_string(++file) + ".ini");
        m_input.markColors.fill(0);
        m_input.markColors[0] = kHidden;
        for (int c = 1; c <= 100; ++c) m_input.markColors[c] = 0x010000 * c;
        Use({1, 2, 3});
    }

    // The store with these channels in use (types K, T, J in turn, comment "c<n>").
    void Use(std::initializer_list<int> channels, bool measuring = false) {
        TMeasurementSetup setup;
        setup.pollingSetting.SetRateCode(4);  // 1 sec: channels 21..100 take part too
        for (int c = 1; c <= 100; ++c) setup.comment[c] = "c" + std::to_string(c);
        for (int c : channels) {
            setup.pollingSetting.SetInUse(c, true);
            setup.thermocoupleType[c] = 1 + c % 3;
        }
        if (measuring)
            m_store.Start(setup);
        else
            m_store.Reset(setup);
    }
    void UseRange(int first, int last) {
        TMeasurementSetup setup;
        setup.pollingSetting.SetRateCode(4);
        for (int c = first; c <= last; ++c) setup.pollingSetting.SetInUse(c, true);
        m_store.Reset(setup);
    }
    VEK::AccessorSection Widths() { return VEK::AccessorSection(&m_ini, "list-column"); }
    void Rebuild() { m_lists.RebuildLists(m_store, m_input, Widths()); }

    // Channel numbers of a list's rows.
    std::vector<int> Rows(int list) const {
        std::vector<int> rows;
        const CMyTemperatureValueListRapper& w = m_lists.List(list);
        for (int r = 0; r < w.RowCount(); ++r) rows.push_back(w.Row(r).channel);
        return rows;
    }
    TCellLook Look(int list, int channel, EValueColumn kind) const {
        const CMyTemperatureValueListRapper& w = m_lists.List(list);
        return w.CellLook(w.RowOf(channel), w.ColumnIndex(kind));
    }

    int64_t m_now = 100000;
    VEK::CInifileAccessor m_ini;
    CMeasurementDataManager m_store;
    CTemperatureValueLists::TRebuildInput m_input;
    CTemperatureValueLists m_lists;
};

std::vector<int> Range(int first, int last) {
    std::vector<int> r;
    for (int c = first; c <= last; ++c) r.push_back(c);
    return r;
}

TEST_F(ValueListModelTest, ColumnsFollowTheVisibleItems) {
    using K = EValueColumn;
    struct TCase {
        uint8_t flags;
        std::vector<K> columns;
        std::vector<int> widths;  // fresh lastone.ini
    };
    const TCase cases[] = {
        {2, {K::kTemperature, K::kType}, {50, 50}},
        {3, {K::kComment, K::kTemperature, K::kType}, {50, 50, 50}},
        {15, {K::kComment, K::kTemperature, K::kType, K::kBattery, K::kVersion}, {50, 50, 50, 30, 40}},
        {0, {K::kTemperature}, {50}},
        {0xF0, {K::kTemperature}, {50}},  // only the four low bits name columns
    };
    for (const TCase& c : cases) {
        m_input.visibleItemsSingle = c.flags;
        m_input.visibleItemsOnly = c.flags;
        Rebuild();
        for (int list : {0, 1, 4}) {
            const CMyTemperatureValueListRapper& w = m_lists.List(list);
            std::vector<K> kinds;
            std::vector<int> widths;
            for (const auto& column : w.Columns()) {
                kinds.push_back(column.kind);
                widths.push_back(column.width);
            }
            EXPECT_EQ(kinds, c.columns) << int(c.flags);
            EXPECT_EQ(widths, c.widths) << int(c.flags);
            EXPECT_EQ(w.RowHeaderWidth(), 50);
            for (size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(w.ColumnIndex(kinds[i]), int(i));
            if (std::find(kinds.begin(), kinds.end(), K::kComment) == kinds.end()) {
                EXPECT_EQ(w.ColumnIndex(K::kComment), -1);
            }
        }
    }
}

TEST_F(ValueListModelTest, WidthsFromAHandEditedFileAreCheckedAndSavedBack) {
    testing_support::WriteFile(m_ini.Path(),
                               "[list-column]\r\nrow=0\r\nrow-0=-3\r\nrow-1=4001\r\nrow-2=4000\r\n"
                               "row1=120\r\nrow1-0=abc\r\nrow1-1=77\r\nrow4-2=1\r\n");
    m_input.visibleItemsSingle = 15;
    m_input.visibleItemsOnly = 3;
    Rebuild();
    const CMyTemperatureValueListRapper& zero = m_lists.List(0);
    EXPECT_EQ(zero.RowHeaderWidth(), 50);
    EXPECT_EQ(zero.Columns()[0].width, 50);
    EXPECT_EQ(zero.Columns()[1].width, 50);
    EXPECT_EQ(zero.Columns()[2].width, 4000);
    EXPECT_EQ(zero.Columns()[3].width, 30);  // battery in position 3 keeps its initial width
    EXPECT_EQ(m_lists.List(1).RowHeaderWidth(), 120);
    EXPECT_EQ(m_lists.List(1).Columns()[0].width, 50);
    EXPECT_EQ(m_lists.List(1).Columns()[1].width, 77);
    EXPECT_EQ(m_lists.List(4).Columns()[2].width, 1);

    // Only two columns now: the saved width of column 2 stays for when it comes back.
    m_input.visibleItemsSingle = 2;
    Rebuild();
    m_lists.List(0).SetColumnWidth(1, 222);
    m_lists.List(0).SetRowHeaderWidth(61);
    ASSERT_TRUE(m_lists.SaveColumnWidths(Widths()));
    EXPECT_EQ(Widths().GetInteger("row", 0), 61);
    EXPECT_EQ(Widths().GetInteger("row-1", 0), 222);
    EXPECT_EQ(Widths().GetInteger("row-2", 0), 4000);
    EXPECT_EQ(Widths().GetInteger("row3-2", 0), 50);
    m_input.visibleItemsSingle = 15;
    Rebuild();
    EXPECT_EQ(m_lists.List(0).Columns()[1].width, 222);
    EXPECT_EQ(m_lists.List(0).Columns()[2].width, 4000);
}

// At a font twice as wide as the one a Windows installation measured in, stored widths show what
// they showed there: doubled, and halved again when saved. No width, stored, dragged or default,
// goes below what the column's header and widest value need.
TEST_F(ValueListModelTest, StoredWidthsFollowTheFontAndNeverCutAValue) {
    testing_support::WriteFile(m_ini.Path(), "[list-column]\r\nrow=20\r\nrow-0=50\r\nrow-1=5\r\n");
    TListWidthRules& rules = m_input.widthRules;
    rules.averageCharWidth = 2 * TListWidthRules::kStoredCharWidth;
    rules.defaultWidth = {160, 120, 40, 30, 50};
    rules.minimumWidth = {70, 110, 30, 30, 50};
    rules.rowHeaderDefault = 45;
    rules.rowHeaderMinimum = 45;
    m_input.visibleItemsSingle = 15;
    Rebuild();
    const CMyTemperatureValueListRapper& zero = m_lists.List(0);
    EXPECT_EQ(zero.RowHeaderWidth(), 45);     // 40 after scaling, below the least
    EXPECT_EQ(zero.Columns()[0].width, 100);  // comment: 50 stored
    EXPECT_EQ(zero.Columns()[1].width, 110);  // temperature: 5 stored, grown to the least
    EXPECT_EQ(zero.Columns()[2].width, 40);   // type: nothing stored, the default
    EXPECT_EQ(zero.Columns()[4].width, 50);   // version: never stored
    EXPECT_EQ(m_lists.List(1).Columns()[1].width, 120);

    m_lists.List(0).SetColumnWidth(1, 20);  // a drag too narrow stops at the least
    EXPECT_EQ(zero.Columns()[1].width, 110);
    m_lists.List(0).SetColumnWidth(0, 301);
    ASSERT_TRUE(m_lists.SaveColumnWidths(Widths()));
    EXPECT_EQ(Widths().GetInteger("row-0", 0), 151);  // 150.5 rounded
    EXPECT_EQ(Widths().GetInteger("row-1", 0), 55);
    EXPECT_EQ(Widths().GetInteger("row", 0), 23);
    // Saved and read again, a width keeps within a pixel of what it was.
    Rebuild();
    EXPECT_NEAR(m_lists.List(0).Columns()[0].width, 301, 1);
    EXPECT_EQ(m_lists.List(0).Columns()[1].width, 110);
    EXPECT_EQ(m_lists.List(0).Columns()[2].width, 40);
}

TEST_F(ValueListModelTest, PagesHoldTwentyFiveChannelsAList) {
    struct TCase {
        std::vector<int> inUse;
        int countIndex;
        int forward;  // page steps taken
        int pageCount;
        bool canBack, canForward;
        std::vector<std::vector<int>> lists;  // rows of lists 1..4
    };
    const TCase cases[] = {
        {{1, 2, 30}, 0, 0, 2, false, true, {Range(1, 25), Range(26, 30), {}, {}}},  // hidden lists fill too
        {{1, 2, 30}, 0, 1, 2, true, false, {Range(26, 30), {}, {}, {}}},
        {Range(1, 40), 2, 0, 2, false, false, {Range(1, 25), Range(26, 40), {}, {}}},  // 4 >= 2 pages
        {Range(1, 60), 1, 1, 3, true, false, {Range(26, 50), Range(51, 60), {}, {}}},
        {{}, 0, 0, 0, false, false, {{}, {}, {}, {}}},
    };
    for (const TCase& c : cases) {
        m_store.Reset(TMeasurementSetup{});
        TMeasurementSetup setup;
        setup.pollingSetting.SetRateCode(4);
        for (int ch : c.inUse) setup.pollingSetting.SetInUse(ch, true);
        m_store.Reset(setup);
        m_lists.Paging().SetListCountIndex(c.countIndex);
        Rebuild();
        for (int i = 0; i < c.forward; ++i) {
            ASSERT_TRUE(m_lists.Paging().GoForward());
            Rebuild();
        }
        EXPECT_EQ(m_lists.Paging().PageCount(), c.pageCount) << c.inUse.size();
        EXPECT_EQ(m_lists.Paging().CanGoBack(), c.canBack);
        EXPECT_EQ(m_lists.Paging().CanGoForward(), c.canForward);
        for (int list = 1; list <= 4; ++list) EXPECT_EQ(Rows(list), c.lists[list - 1]) << list;
        EXPECT_EQ(Rows(0), c.inUse);
    }
}

TEST_F(ValueListModelTest, RowsNotInUseAreGreyAndNeverLost) {
    Use({1, 2, 30});
    m_lists.Paging().SetListCountIndex(0);
    Rebuild();
    m_lists.SetLostTimeout(1000);
    const CMyTemperatureValueListRapper& first = m_lists.List(1);
    EXPECT_EQ(first.Row(first.RowOf(2)).markColor, 0x020000u);
    EXPECT_EQ(first.Row(first.RowOf(3)).markColor, kHidden);
    // The first refresh comes exactly at the time-out (1000 ms, the refresh period at fast rates).
    m_now += 1000;
    const CTemperatureValueLists::TRefresh refresh = m_lists.RefreshLists(false);
    EXPECT_EQ(refresh.lostChannels, (std::vector<int>{1, 2, 30}));
    EXPECT_EQ(Look(1, 3, EValueColumn::kTemperature).text, "");
    EXPECT_EQ(Look(1, 25, EValueColumn::kTemperature).text, "");
    EXPECT_EQ(Look(1, 2, EValueColumn::kTemperature).text, "Lost");
    m_now += 60000;
    EXPECT_EQ(m_lists.RefreshLists(false).lostChannels, (std::vector<int>{1, 2, 30}));
    EXPECT_EQ(Look(1, 3, EValueColumn::kTemperature).text, "");
}

TEST_F(ValueListModelTest, ThePageStaysWithinTheChannelsInUse) {
    UseRange(1, 100);
    m_lists.Paging().SetListCountIndex(0);
    Rebuild();
    while (m_lists.Paging().GoForward()) {
    }
    Rebuild();
    EXPECT_EQ(m_lists.Paging().Page(), 3);
    EXPECT_EQ(Rows(1), Range(76, 100));

    // A fast-rate start drops channels 21..100: the page may not lie past the last one.
    UseRange(1, 20);
    Rebuild();
    EXPECT_EQ(m_lists.Paging().Page(), 0);
    EXPECT_EQ(m_lists.Paging().PageCount(), 1);
    EXPECT_EQ(Rows(1), Range(1, 20));

    UseRange(1, 60);
    m_lists.Paging().SetListCountIndex(1);
    Rebuild();
    ASSERT_TRUE(m_lists.Paging().GoForward());
    UseRange(1, 30);  // two pages, two lists: page 0 shows both
    Rebuild();
    EXPECT_EQ(m_lists.Paging().Page(), 0);
    EXPECT_EQ(Rows(2), Range(26, 30));

    UseRange(1, 0);  // no channel in use: no page left
    Rebuild();
    EXPECT_EQ(m_lists.Paging().PageCount(), 0);
    EXPECT_FALSE(m_lists.Paging().CanGoForward());

    m_lists.Paging().SetListCountIndex(-1);  // "list-div" out of range reads as 2
    EXPECT_EQ(m_lists.Paging().ListCount(), 4);
    m_lists.Paging().SetListCountIndex(3);
    EXPECT_EQ(m_lists.Paging().ListCount(), 4);
}

TEST_F(ValueListModelTest, ReadingsShowWithTextAlignmentAndColour) {
    struct TCase {
        int16_t tenths;
        bool adjusted;
        std::string text;
        EAlign align;
        uint32_t color;
    };
    const TCase cases[] = {
        {250, false, "+25.0 ", EAlign::kRight, ValueListColor::kBlack},
        {-30, false, "-3.0 ", EAlign::kRight, ValueListColor::kBlack},
        {250, true, "+25.0 ", EAlign::kRight, ValueListColor::kAdjusted},
        {kReadingLost, false, "Lost", EAlign::kCentre, ValueListColor::kLost},
        {kReadingLost, true, "Lost", EAlign::kCentre, ValueListColor::kLost},
        {kReadingOutOfRange, false, "Out Of Range", EAlign::kCentre, ValueListColor::kBlack},
        {kReadingOutOfRange, true, "Out Of Range", EAlign::kCentre, ValueListColor::kAdjusted},
    };
    m_input.visibleItemsSingle = 15;
    Use({2}, true);
    Rebuild();
    uint32_t record = 0;
    for (const TCase& c : cases) {
        m_lists.SetLiveReading(2, c.tenths, c.adjusted, record++);
        m_lists.RefreshLists(false);
        const TCellLook value = Look(0, 2, EValueColumn::kTemperature);
        EXPECT_EQ(value, (TCellLook{c.text, c.align, c.color})) << c.tenths;
        EXPECT_EQ(Look(0, 2, EValueColumn::kType), (TCellLook{"J", EAlign::kCentre, c.color}));
        EXPECT_EQ(Look(0, 2, EValueColumn::kComment), (TCellLook{"c2", EAlign::kLeft, 0}));
    }
}

TEST_F(ValueListModelTest, ARefreshRedrawsWhatChangedOnly) {
    m_input.visibleItemsSingle = 15;
    Rebuild();
    using K = EValueColumn;
    // Column positions with all five: comment 0, temp 1, type 2, battery 3, version 4.
    auto columnsOf = [](const CTemperatureValueLists::TRefresh& r, int list, int row) {
        std::vector<int> columns;
        for (const TCellChange& c : r.cells)
            if (c.list == list && c.row == row)
                columns.push_back(c.column);
        return columns;
    };
    // The first refresh after a rebuild paints every cell but the comment.
    CTemperatureValueLists::TRefresh r = m_lists.RefreshLists(false);
    EXPECT_EQ(columnsOf(r, 0, 0), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(m_lists.RefreshLists(false).cells.empty());

    m_lists.SetChannelValue(1, "+1.0 ", true, 0, false);
    EXPECT_EQ(columnsOf(m_lists.RefreshLists(false), 0, 0), (std::vector<int>{1, 4}));
    m_lists.SetChannelValue(1, "+1.0 ", true, 0, false);  // the same again
    EXPECT_TRUE(m_lists.RefreshLists(false).cells.empty());
    m_lists.SetChannelValue(1, "+1.0 ", true, ValueListColor::kAdjusted, false);
    EXPECT_EQ(columnsOf(m_lists.RefreshLists(false), 0, 0), (std::vector<int>{1, 2, 4}));
    m_lists.SetChannelBattery(1, 2);
    r = m_lists.RefreshLists(false);
    ASSERT_EQ(columnsOf(r, 0, 0), (std::vector<int>{3}));
    EXPECT_EQ(r.cells[0].look.icon, 144);
    m_lists.SetChannelVersion(1, "1.02");
    EXPECT_EQ(columnsOf(m_lists.RefreshLists(false), 0, 0), (std::vector<int>{4}));
    EXPECT_EQ(Look(0, 1, K::kVersion).text, "1.02");

    // Stored data: battery and version mean nothing, once.
    EXPECT_EQ(columnsOf(m_lists.RefreshLists(true), 0, 0), (std::vector<int>{3, 4}));
    EXPECT_EQ(Look(0, 1, K::kBattery).icon, 140);
    EXPECT_EQ(Look(0, 1, K::kVersion).text, "");
    EXPECT_TRUE(m_lists.RefreshLists(true).cells.empty());
    // Live again: what the units said comes back.
    EXPECT_EQ(columnsOf(m_lists.RefreshLists(false), 0, 0), (std::vector<int>{3, 4}));
    EXPECT_EQ(Look(0, 1, K::kBattery).icon, 144);
}

TEST_F(ValueListModelTest, SilentChannelsTurnLostAtTheTimeOut) {
    struct TCase {
        const char* what;
        uint32_t timeout;
        int64_t silence;
        bool markAllLost;
        std::vector<int> lost;
        std::string text2;  // channel 2's value afterwards
    };
    const TCase cases[] = {
        {"time-out reached exactly", 12000, 12000, false, {1, 3}, "+2.0 "},
        {"a millisecond before", 12000, 11999, false, {}, "+2.0 "},
        {"no time-out", 0, 999999, false, {}, "+2.0 "},
        {"all lost", 12000, 0, true, {}, "Lost"},
    };
    for (const TCase& c : cases) {
        Use({1, 2, 3}, true);
        m_lists.Paging().SetListCountIndex(2);
        Rebuild();  // channels 1..3 in list 0 and list 1
        m_lists.SetLostTimeout(c.timeout);
        m_now += 5000;
        m_lists.SetLiveReading(2, 20, false, 0);
        m_lists.RefreshLists(false);
        m_now += c.silence - 5000;
        m_lists.SetLiveReading(2, 20, false, 1);  // channel 2 keeps reporting
        const CTemperatureValueLists::TRefresh r =
            c.markAllLost ? m_lists.MarkAllLost(false) : m_lists.RefreshLists(false);
        EXPECT_EQ(r.lostChannels, c.lost) << c.what;
        for (int list : {0, 1}) {
            EXPECT_EQ(Look(list, 2, EValueColumn::kTemperature).text, c.text2) << c.what;
            if (!c.lost.empty()) {
                EXPECT_EQ(Look(list, 1, EValueColumn::kTemperature),
                          (TCellLook{"Lost", EAlign::kCentre, ValueListColor::kLost}));
            }
        }
        if (c.markAllLost) {
            EXPECT_EQ(m_lists.List(0).LostTimeout(), 0u);
        }
    }
}

TEST_F(ValueListModelTest, SetLostTimeoutRestartsEverySilence) {
    Rebuild();
    m_lists.SetLostTimeout(12000);
    m_now += 11000;
    m_lists.SetLostTimeout(12000);
    m_now += 11000;
    EXPECT_TRUE(m_lists.RefreshLists(false).lostChannels.empty());
    m_now += 1000;
    EXPECT_EQ(m_lists.RefreshLists(false).lostChannels, (std::vector<int>{1, 2, 3}));
}

TEST_F(ValueListModelTest, AnOlderRecordNeverReplacesTheLiveValue) {
    Use({1}, true);
    Rebuild();
    m_lists.SetLiveReading(1, 250, false, 7);
    m_lists.SetLiveReading(1, 100, false, 6);  // a late report
    m_lists.RefreshLists(false);
    EXPECT_EQ(Look(0, 1, EValueColumn::kTemperature).text, "+25.0 ");
    m_lists.SetLiveReading(1, 260, false, 7);  // the same record again
    m_lists.SetLiveReading(1, 270, false, 8);
    m_lists.RefreshLists(false);
    EXPECT_EQ(Look(0, 1, EValueColumn::kTemperature).text, "+27.0 ");

    // A new run numbers its records from 0 again.
    m_store.Stop();
    Rebuild();
    Use({1}, true);
    Rebuild();
    m_lists.SetLiveReading(1, 10, false, 0);
    m_lists.RefreshLists(false);
    EXPECT_EQ(Look(0, 1, EValueColumn::kTemperature).text, "+1.0 ");
}

TEST_F(ValueListModelTest, ValuesAtARecordOfStoredData) {
    Use({1, 2, 3}, true);
    m_store.SetAdjustedChannels({3});
    CMeasurementDataManager::SetReading(m_store.Channel(1), 4, -30);
    CMeasurementDataManager::SetReading(m_store.Channel(3), 4, kReadingOutOfRange);
    m_store.Stop();
    m_input.visibleItemsSingle = 15;
    Rebuild();
    EXPECT_TRUE(m_lists.List(0).TemperatureHeaderMarked());
    m_lists.SetChannelBattery(1, 3);
    const CTemperatureValueLists::TRefresh r = m_lists.ShowValuesAtRecord(m_store, 4);
    EXPECT_TRUE(r.lostChannels.empty());
    EXPECT_EQ(Look(0, 1, EValueColumn::kTemperature), (TCellLook{"-3.0 ", EAlign::kRight, 0}));
    EXPECT_EQ(Look(0, 2, EValueColumn::kTemperature),
              (TCellLook{"Lost", EAlign::kCentre, ValueListColor::kLost}));
    EXPECT_EQ(Look(0, 3, EValueColumn::kTemperature),
              (TCellLook{"Out Of Range", EAlign::kCentre, ValueListColor::kAdjusted}));
    EXPECT_EQ(Look(0, 1, EValueColumn::kBattery).icon, 140);  // state 2: stored data
    m_lists.ShowValuesAtRecord(m_store, 99);
    EXPECT_EQ(Look(0, 1, EValueColumn::kTemperature).text, "Lost");
}

TEST_F(ValueListModelTest, UnitInformationAndColourMarks) {
    TUnitInformation information;
    information.bytes = {4, 2, 1, '1', '.', '0', '2'};
    m_store.SetUnitInformation(2, information);
    m_input.visibleItemsSingle = 15;
    m_input.shownInGraph = [](int channel) { return channel != 3; };
    Rebuild();
    m_lists.RefreshLists(false);
    EXPECT_EQ(Look(0, 2, EValueColumn::kBattery).icon, 143);
    EXPECT_EQ(Look(0, 2, EValueColumn::kVersion).text, "1.02");
    EXPECT_EQ(Look(0, 1, EValueColumn::kBattery).icon, 140);
    const CMyTemperatureValueListRapper& zero = m_lists.List(0);
    EXPECT_EQ(zero.Row(zero.RowOf(3)).markColor, kHidden);
    EXPECT_EQ(zero.Row(zero.RowOf(2)).markColor, 0x020000u);
    EXPECT_TRUE(m_lists.SetChannelColorMark(0, 3, 0x030000));
    EXPECT_EQ(zero.Row(zero.RowOf(3)).markColor, 0x030000u);
    EXPECT_FALSE(m_lists.SetChannelColorMark(0, 50, 0));

    m_lists.SetUnitInformation(2, TUnitInformation{});  // forgotten
    m_lists.RefreshLists(false);
    EXPECT_EQ(Look(0, 2, EValueColumn::kBattery).icon, 140);
    EXPECT_EQ(Look(0, 2, EValueColumn::kVersion).text, "");
}

}  // namespace
