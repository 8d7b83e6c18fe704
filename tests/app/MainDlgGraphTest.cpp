// The graph in the main window against the simulated dongle: the run reaches it, its commands
// drive the deletions' availability, data files record its view and a loaded file sets it.
#include <QLabel>
#include <QTest>

#include "MainDlgFixture.h"
#include "display/RowHeaderCtrl.h"
#include "files/DataFile.h"

namespace {

using Ids = CMainDlgControls;

class MainDlgGraphTest : public CMainDlgFixture {
protected:
    CGraph& Graph() const { return dialog->Graph().Graph(); }
    QString Text(int id) const { return Control<QLabel>(id)->text(); }
    // Pixels of a channel's colour in the graph's picture.
    int ChannelPixels(int channel) const {
        const QImage picture = Graph().Picture().convertToFormat(QImage::Format_RGB32);
        const QRgb colour = Graph().Colors().Rgb(channel);
        int count = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) count += picture.pixel(x, y) == colour;
        return count;
    }
    // A click on the channel's patch in list 0's row header: the graph shows or hides it.
    void ClickRowHeader(int channel) const {
        auto* rowHeader = Control<VEK::MFC::CRowHeaderCtrl>(Ids::kRowHeader0);
        const int row = dialog->ValueLists().Model().List(0).RowOf(channel);
        QTest::mouseClick(rowHeader, Qt::LeftButton, {}, rowHeader->RowRect(row).center() - QPoint(10, 0));
    }
    uint32_t MarkColor(int channel) const {
        const auto& list = dialog->ValueLists().Model().List(0);
        return list.Row(list.RowOf(channel)).markColor;
    }
    // The value of a header line of a data file, "" without the line.
    static std::string HeaderValue(const std::string& text, const std::string& key) {
        const size_t at = text.find("\r\n" + key + ",");
        if (at == std::string::npos)
            return {};
        const size_t begin = at + key.size() + 3;
        return text.substr(begin, text.find("\r\n", begin) - begin);
    }
};

TEST_F(MainDlgGraphTest, TheRunDrawsTheGraphWhoseViewTheDataFilesKeep) {
    // The graph fills the area the window left for it.
    QWidget* area = Control(Ids::kGraphArea);
    ASSERT_TRUE(
        Pump([&] { return !Graph().Picture().isNull() && Graph().Picture().size() == area->size(); }, 5000));
    EXPECT_GT(area->width(), 300);
    EXPECT_EQ(Text(1011), "10sec/DIV");

    // A one-minute view before the start: the start of polling gives the graph the run's rate.
    Graph().SetSamplingInterval(10);
    ASSERT_EQ(Graph().TimeAxis().samplingInterval, 60000u);
    const std::string path = DataPath("graph.csv");
    AnswerStartDialog(std::nullopt, path);
    Click(Ids::kStartStop);
    ASSERT_EQ(RunState(), CMeasurementDataManager::kStateMeasuring);
    EXPECT_EQ(Graph().TimeAxis().samplingInterval, 1000u);
    EXPECT_EQ(Graph().TimeAxis().start, 0u);

    // Samples stored and sampling ticks reach the graph: the elapsed read-out runs and each
    // channel's readings appear once the scale fits them.
    ASSERT_TRUE(Pump([&] { return Store().RecordCount() >= 4; }, 10000));
    Click(1007);  // AUTO
    // The units read alike: each channel's line lies on the one before it until that one hides.
    ASSERT_TRUE(Pump([&] { return ChannelPixels(3) > 0; }, 5000));
    // Hidden through list 0's row header, whose patch turns grey.
    const uint32_t shownMark = MarkColor(3);
    for (int channel : {3, 2}) {
        ClickRowHeader(channel);
        EXPECT_EQ(ChannelPixels(channel), 0) << channel;
        EXPECT_GT(ChannelPixels(channel - 1), 0) << channel;
        EXPECT_EQ(MarkColor(channel), 0x646464u) << channel;
    }
    ClickRowHeader(2);
    ClickRowHeader(3);
    EXPECT_EQ(MarkColor(3), shownMark);
    EXPECT_GT(ChannelPixels(3), 0);
    EXPECT_NE(Text(Ids::kElapsedReadout), "00:00:00");
    Click(1001);  // a longer time per division, which the automatic save records
    const QString timeDiv = Text(1011);
    EXPECT_EQ(timeDiv, "2min/DIV");  // the faster rate kept the minute a division
    const QString tempDiv = Text(1013);
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    Click(Ids::kStartStop);
    ASSERT_EQ(RunState(), CMeasurementDataManager::kStateHolding);
    const std::string saved = testing_support::ReadFile(path);
    EXPECT_EQ(HeaderValue(saved, "TIME/DIV"), "2min");
    EXPECT_EQ(QString::fromStdString(HeaderValue(saved, "TEMP/DIV") + "/DIV"), tempDiv);

    // The shortest time a division ("1sec"), then the cursor, only on finished data, decides the
    // deletions.
    while (Control(1002)->isEnabled()) Click(1002);
    EXPECT_EQ(Text(1011), "1sec/DIV");
    EXPECT_FALSE(dialog->Controls().Action(Ids::kDeleteBefore)->isEnabled());
    Click(1010);  // CURSOR
    ASSERT_TRUE(Graph().CursorOn());
    EXPECT_TRUE(dialog->Controls().Action(Ids::kDeleteBefore)->isEnabled());
    EXPECT_TRUE(Text(1012).endsWith("sec"));
    QTest::qWait(250);  // one blink: the cursor line is drawn
    Screenshot("main-graph.png");
    Click(1010);
    EXPECT_FALSE(dialog->Controls().Action(Ids::kDeleteAfter)->isEnabled());

    // Other scales, then the file loads back with its own.
    Click(1005);
    ASSERT_NE(Text(1013), tempDiv);
    prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest&) { return std::optional(path); };
    dialog->Controls().Action(Ids::kLoadData)->trigger();
    ASSERT_EQ(prompt.Told().back(), "Finished reading data from the file.");
    EXPECT_EQ(Text(1011), timeDiv);
    EXPECT_EQ(Text(1013), tempDiv);
    EXPECT_EQ(Graph().TimeAxis().start, 0u);
    EXPECT_FALSE(Graph().CursorOn());
}

TEST_F(MainDlgGraphTest, ALoadedFileWhoseOffsetLiesPastItsRecordsShowsItsLastRecord) {
    MeasureAndStop();
    const uint32_t records = Store().RecordCount();
    const std::string path = DataPath("offset.csv");
    VEK::TDataFileView view = Graph().DataFileView();
    ASSERT_TRUE(VEK::SaveDataFile(path, Store(), view));
    // TIME OFFSET a day past the records, as an edited or foreign file may have it.
    std::string text = testing_support::ReadFile(path);
    const std::string offset = HeaderValue(text, "TIME OFFSET");
    ASSERT_FALSE(offset.empty());
    text.replace(text.find("TIME OFFSET," + offset) + 12, offset.size(), "24:00:00,000");
    testing_support::WriteFile(path, text);

    prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest&) { return std::optional(path); };
    dialog->Controls().Action(Ids::kLoadData)->trigger();
    ASSERT_EQ(prompt.Told().back(), "Finished reading data from the file.");
    ASSERT_EQ(Store().RecordCount(), records);
    EXPECT_LE(Graph().TimeAxis().start, records - 1);
    Click(1010);
    ASSERT_TRUE(Graph().CursorOn());
    EXPECT_LT(Graph().CursorRecord(), records);
}

}  // namespace
