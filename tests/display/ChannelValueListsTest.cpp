// The five channel value lists on their controls, fed as the controller's signals feed them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>

#include "data/MeasurementDataManager.h"
#include "display/ChannelValueLists.h"
#include "display/DialogFont.h"
#include "display/DisplayColors.h"
#include "display/DrawingHeaderCtrl.h"
#include "display/DrawingListCtrl.h"
#include "display/MouseDrag.h"
#include "display/RowHeaderCtrl.h"
#include "display/TemperatureValueListView.h"
#include "display/TestApplication.h"
#include "files/InifileAccessor.h"
#include "support/TestHome.h"

namespace {

using VEK::MFC::CDrawingListCtrl;
using VEK::MFC::CRowHeaderCtrl;

class ChannelValueListsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }

    ChannelValueListsTest() {
        static int file = 0;
        ini.SetPath(testing_support::TestHome() + "/valuelists/lastone" + std::to_string(++file) + ".ini");
        testing_support::WriteFile(ini.Path(), "");
        auto* layout = new QHBoxLayout(&window);
        CChannelValueLists::TControls controls;
        for (int list = 0; list < CChannelValueLists::kLists; ++list) {
            controls.lists[list] = new CDrawingListCtrl;
            controls.rowHeaders[list] = new CRowHeaderCtrl;
            layout->addWidget(controls.rowHeaders[list]);
        }
        this->controls = controls;
        parameters.visibleItemsSingle = 15;
        TMeasurementSetup setup;
        setup.pollingSetting.SetRateCode(11);
        for (int c : {1, 2, 3}) setup.pollingSetting.SetInUse(c, true);
        setup.comment[1] = "oven";
        store.Start(setup);
        lists = std::make_unique<CChannelValueLists>(controls, store, parameters, QApplication::font(),
                                                     VEK::AccessorSection(&ini, "list-column"),
                                                     [this] { return now; });
        lists->SetMarkColors(LoadDisplayColors(VEK::AccessorSection(&ini, "parameter")).ChannelMarks());
        window.resize(1800, 400);
        window.show();
    }

    // What the receive path reports for a new reading of a channel.
    void Report(int channel, int16_t tenths, uint32_t record) {
        CMeasurementDataManager::SetReading(store.Channel(channel), record, tenths);
        lists->OnChannelValueChanged(channel, TChannelValue::Reading(tenths, false));
        lists->OnSamplesStored(channel, 1, record);
    }
    const VEK::CDrawerHandle& Cell(int list, int row, int column) const {
        return controls.lists[list]->CellDrawer(column, row);
    }
    std::string Text(int channel, int list = 0) const {
        const CMyTemperatureValueListRapper& shown = lists->Model().List(list);
        return shown.CellLook(shown.RowOf(channel), shown.ColumnIndex(EValueColumn::kTemperature)).text;
    }

    int64_t now = 0;
    VEK::CInifileAccessor ini;
    QWidget window;
    CChannelValueLists::TControls controls;
    CMeasurementDataManager store;
    VEK::TParameterSet parameters;
    std::unique_ptr<CChannelValueLists> lists;
};

TEST_F(ChannelValueListsTest, ChangedCellsGetNewDrawersAndSilentChannelsAreReportedOnce) {
    lists->RebuildLists();
    lists->SetLostTimeout(5000);
    CDrawingListCtrl& zero = *controls.lists[0];
    ASSERT_EQ(zero.RowCount(), 3);
    ASSERT_EQ(zero.ColumnCount(), 5);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 5; ++column) EXPECT_NE(Cell(0, row, column), nullptr);
    EXPECT_EQ(controls.lists[1]->RowCount(), 3);

    Report(1, 250, 0);
    Report(3, 251, 0);
    lists->RefreshLists();
    EXPECT_EQ(Text(1), "+25.0 ");
    const VEK::CDrawerHandle comment = Cell(0, 0, 0);
    const VEK::CDrawerHandle battery = Cell(0, 0, 3);
    const VEK::CDrawerHandle value3 = Cell(0, 2, 1);
    now += 5000;  // channel 2 has been silent since the rebuild
    QSignalSpy lost(lists.get(), &CChannelValueLists::channelLost);
    Report(1, 260, 1);
    Report(3, 252, 1);
    lists->RefreshLists();
    EXPECT_EQ(Text(1), "+26.0 ");
    EXPECT_EQ(Text(2), "Lost");
    EXPECT_EQ(Cell(0, 0, 0), comment);
    EXPECT_EQ(Cell(0, 0, 3), battery);
    EXPECT_NE(Cell(0, 2, 1), value3);
    // Channel 2 is in list 0 and list 1: one report.
    ASSERT_EQ(lost.count(), 1);
    EXPECT_EQ(lost[0][0].toInt(), 2);

    // A late report of record 0 leaves the newer value; a held graph keeps live values away.
    Report(1, 100, 0);
    lists->SetLiveValuesHeld(true);
    Report(3, 300, 2);
    lists->RefreshLists();
    EXPECT_EQ(Text(1), "+26.0 ");
    EXPECT_EQ(Text(3), "+25.2 ");

    QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
    window.grab().save(HOLLOWMERE_SCREENS_DIR "/value_lists_controls.png");
}

// Switching the display mode or the page rebuilds the lists; finished data keep showing the
// record the graph showed, in every list.
TEST_F(ChannelValueListsTest, ARebuildKeepsTheRecordShownOfFinishedData) {
    lists->RebuildLists();
    Report(1, 250, 0);
    Report(1, 261, 1);
    Report(2, 270, 1);
    store.SetRecordCount(2);
    store.Stop();
    lists->ShowValuesAtRecord(1);
    lists->RebuildLists();
    for (int list : {0, 1}) {
        EXPECT_EQ(Text(1, list), "+26.1 ") << list;
        EXPECT_EQ(Text(2, list), "+27.0 ") << list;
    }
}

// Widths are saved in the pixels of the Windows list font and come back as they were dragged; a
// drag never makes a column too narrow for its header and values.
TEST_F(ChannelValueListsTest, WidthsDraggedAreSavedAndSurviveARebuild) {
    lists->RebuildLists();
    const TListWidthRules& rules = lists->Model().List(0).WidthRules();
    ASSERT_EQ(lists->Model().List(0).Columns()[1].kind, EValueColumn::kTemperature);
    const int start = controls.lists[0]->columnWidth(1);
    EXPECT_EQ(start, rules.DefaultWidth(EValueColumn::kTemperature));
    DragDivider(*controls.lists[0]->Header(), 1, 40);
    const VEK::AccessorSection widths(&ini, "list-column");
    EXPECT_EQ(widths.GetInteger("row-1", 0), rules.ToStored(start + 40));
    EXPECT_EQ(widths.GetInteger("row", 0), rules.ToStored(rules.rowHeaderDefault));
    lists->RebuildLists();
    EXPECT_NEAR(controls.lists[0]->columnWidth(1), start + 40, 1);
    EXPECT_EQ(controls.lists[0]->columnWidth(3), rules.DefaultWidth(EValueColumn::kBattery));
    DragDivider(*controls.lists[0]->Header(), 1, -start);
    EXPECT_EQ(controls.lists[0]->columnWidth(1), rules.MinimumWidth(EValueColumn::kTemperature));
}

// At the lists' font every reading, marker and header fits its column's least width, and a
// stored Windows width is scaled by the fonts' average character widths.
TEST_F(ChannelValueListsTest, WidthRulesFitTheWidestValuesAtTheListFont) {
    const QFont cell = CChannelValueLists::CellFont(DialogFont());
    const TListWidthRules rules = CTemperatureValueListView::WidthRules(cell);
    const QFontMetrics metrics(cell);
    for (const char* text : {"-1234.5 ", "+1234.5 ", "-3276.8 ", "Out Of Range", "-199.9 ", "Ready", "Temp."})
        EXPECT_LE(metrics.horizontalAdvance(text) + 4, rules.MinimumWidth(EValueColumn::kTemperature))
            << text;
    EXPECT_LE(metrics.horizontalAdvance("Comment"), rules.MinimumWidth(EValueColumn::kComment));
    EXPECT_GE(rules.DefaultWidth(EValueColumn::kComment), metrics.horizontalAdvance("probe 12 at door"));
    EXPECT_LE(metrics.horizontalAdvance("Type"), rules.MinimumWidth(EValueColumn::kType));
    EXPECT_LE(metrics.horizontalAdvance("100"), rules.rowHeaderMinimum);
    EXPECT_EQ(rules.averageCharWidth, AverageCharWidth(cell));
    EXPECT_EQ(rules.FromStored(90), (90 * AverageCharWidth(cell) + 4) / 9);
}

TEST_F(ChannelValueListsTest, RowHeaderClicksNameTheChannel) {
    lists->RebuildLists();
    QSignalSpy clicked(lists.get(), &CChannelValueLists::rowHeaderClicked);
    CRowHeaderCtrl& rowHeader = *controls.rowHeaders[0];
    QTest::mouseClick(&rowHeader, Qt::LeftButton, {}, rowHeader.RowRect(1).center() - QPoint(10, 0));
    QTest::mouseClick(&rowHeader, Qt::LeftButton, {}, QPoint(10, rowHeader.height() - 3));
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_EQ(clicked[0][0].toInt(), 1);
    EXPECT_EQ(clicked[0][1].toInt(), 2);
    EXPECT_EQ(clicked[1][1].toInt(), 0);

    QSignalSpy paging(lists.get(), &CChannelValueLists::pagingChanged);
    lists->SetChannelColorMark(0, 2, 0x646464);
    EXPECT_EQ(lists->Model().List(0).Row(1).markColor, 0x646464u);
    lists->SetListCountIndex(0);
    EXPECT_EQ(paging.count(), 1);
    EXPECT_EQ(lists->Paging().ListCount(), 1);
}

TEST(ChannelMarks, RowHeaderColoursFromDefineIniWithTheCycleAsDefault) {
    const std::string path = testing_support::TestHome() + "/valuelists/define.ini";
    testing_support::WriteFile(path, "");
    VEK::CInifileAccessor ini(path);
    const VEK::AccessorSection parameter(&ini, "parameter");
    parameter.SetString("chc2", "12");
    parameter.SetString("chc3", "GG1234");
    parameter.SetString("chc4", "");
    const std::array<uint32_t, 101> colors = LoadDisplayColors(parameter).ChannelMarks();
    EXPECT_EQ(colors[0], 0x646464u);
    EXPECT_EQ(colors[1], 0xFF0000u);
    EXPECT_EQ(colors[2], 0x120000u);
    EXPECT_EQ(colors[3], 0x001234u);
    EXPECT_EQ(colors[4], 0x000000u);
    EXPECT_EQ(colors[5], 0xFF6600u);
    EXPECT_EQ(colors[11], 0xFF0000u);
    EXPECT_EQ(colors[100], 0xCCFFCCu);
}

}  // namespace
