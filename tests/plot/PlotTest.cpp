#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <chrono>
#include <set>

#include "display/DisplayColors.h"
#include "display/TestApplication.h"
#include "files/DataFile.h"
#include "plot/DataFilePlot.h"
#include "plot/PlotFigure.h"
#include "plot/PlotOptions.h"
#include "plot/PlotView.h"
#include "support/AppProcess.h"
#include "support/SystemTime.h"
#include "support/TestHome.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ReadFile;

const std::string kFixture = std::string(HOLLOWMERE_SOURCE_DIR) + "/tests/plot/fixtures/graph10.csv";

int Plot(const std::vector<std::string>& args) {
    CAppProcess plot(CAppProcess::BinaryPath("hollowmere-plot"), args,
                     testing_support::TestHome() + "/plot-output.txt");
    return plot.Wait(30s);
}
std::string PlotOutput() {
    return ReadFile(testing_support::TestHome() + "/plot-output.txt");
}

// The figure as the program draws it, in this process: where its graph area lies, its notes.
TPlotFigureOutput PlotHere(const std::vector<std::string>& args) {
    EnsureTestApplication();
    TPlotOptions options;
    std::string error;
    EXPECT_TRUE(options.Parse(args, error)) << error;
    TPlotFigureOutput output;
    EXPECT_TRUE(PlotDataFile(options, TDisplayColors(), output, error)) << error;
    return output;
}

std::set<QRgb> Colours(const QImage& image) {
    std::set<QRgb> colors;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) colors.insert(image.pixel(x, y) | 0xFF000000u);
    }
    return colors;
}

// A data file of `records` rows at `rate` from `start`, channels 1..channels reading value(channel,
// record) in tenths; the file's own view is ten seconds a division from record 0.
std::string WriteDataFile(const std::string& name, uint32_t records, const std::string& rate,
                          uint32_t periodMs, const std::string& start, int channels,
                          const std::function<int(int, uint32_t)>& value) {
    std::string text = "Brisquent,1.01\r\nSYSTEM NUMBER,3\r\nSAMPLING RATE," + rate +
                       "\r\nTEMPERATURE UNIT,deg C\r\nTIME/DIV,10sec\r\nTEMP/DIV,20deg C\r\nDATA COUNT," +
                       std::to_string(records) + "\r\nTIME OFFSET,00:00:50,00\r\nTEMP OFFSET,100\r\n";
    std::string types = ",,TYPE", onOff = ",,ON/OFF", adjust = ",,ADJUST OFFSET",
                heads = "No.,DATE  TIME,msec", comments = "USER COMMENT,,";
    for (int k = 1; k <= channels; ++k) {
        types += ",K";
        onOff += ",ON";
        adjust += ",";
        heads += ",CH" + std::to_string(k);
        comments += ",oven " + std::to_string(k);
    }
    text += types + "\r\n" + onOff + "\r\n" + adjust + "\r\n" + heads + "\r\n" + comments + "\r\n";
    VEK::CSystemTime time;
    EXPECT_TRUE(time.Parse(start));
    for (uint32_t i = 0; i < records; ++i) {
        const VEK::CSystemTime row = time.AddMilliseconds(int64_t{i} * periodMs);
        text += std::to_string(i + 1) + "," + row.Format("%Y/%m/%d %H:%M:%S") + "," +
                std::to_string(row.millisecond);
        for (int k = 1; k <= channels; ++k) {
            const int tenths = value(k, i);
            text += "," + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
        }
        text += "\r\n";
    }
    const std::string path = testing_support::TestHome() + "/" + name;
    testing_support::WriteFile(path, text);
    return path;
}

TEST(PlotOptions, CommandLines) {
    struct TRow {
        std::vector<std::string> args;
        bool ok;
    } const rows[] = {
        {{"a.csv", "-o", "a.png"}, true},
        {{"a.csv", "-o", "a.png", "--width", "800", "--height", "10", "--time-div", "1MIN", "--temp-div",
          "50", "--start", "0", "--cursor", "4294967295"},
         true},
        {{"a.csv"}, false},
        {{"-o", "a.png"}, false},
        {{"a.csv", "b.csv", "-o", "a.png"}, false},
        {{"a.csv", "-o", "a.png", "--width", "9"}, false},
        {{"a.csv", "-o", "a.png", "--height", "10001"}, false},
        {{"a.csv", "-o", "a.png", "--time-div", "2hour"}, false},
        {{"a.csv", "-o", "a.png", "--temp-div", "15"}, false},
        {{"a.csv", "-o", "a.png", "--temp-div", "10deg C"}, false},
        {{"a.csv", "-o", "a.png", "--start", "-1"}, false},
        {{"a.csv", "-o", "a.png", "--cursor", "4294967296"}, false},
        {{"a.csv", "-o", "a.png", "--colour", "red"}, false},
        {{"a.csv", "-o"}, false},
        {{"a.csv", "--fit", "-o", "a.svg"}, true},
        {{"a.csv", "-o", "a.png", "--fit", "--time-div", "1min"}, false},
        {{"a.csv", "-o", "a.png", "--channels", "1-5,8,100"}, true},
        {{"a.csv", "-o", "a.png", "--channels", "0"}, false},
        {{"a.csv", "-o", "a.png", "--channels", "101"}, false},
        {{"a.csv", "-o", "a.png", "--channels", "5-3"}, false},
        {{"a.csv", "-o", "a.png", "--channels", "1,"}, false},
        {{"a.csv", "-o", "a.png", "--channels", "1-"}, false},
        {{"a.csv", "-o", "a.png", "--channels", ""}, false},
    };
    for (const TRow& row : rows) {
        TPlotOptions options;
        std::string error;
        EXPECT_EQ(options.Parse(row.args, error), row.ok) << row.args.size() << " " << error;
        EXPECT_EQ(error.empty(), row.ok) << error;
    }
    TPlotOptions options;
    std::string error;
    ASSERT_TRUE(options.Parse({"in.csv", "--time-div", "5sec", "-o", "out.png", "--cursor", "12"}, error));
    EXPECT_EQ(options.dataFile, "in.csv");
    EXPECT_EQ(options.outFile, "out.png");
    EXPECT_EQ(options.timeDiv, "5sec");
    EXPECT_EQ(options.width, 1000);
    EXPECT_FALSE(options.start.has_value());
    EXPECT_EQ(options.cursor, 12u);
    EXPECT_FALSE(options.Svg());
    TPlotOptions svg;
    ASSERT_TRUE(svg.Parse({"in.csv", "-o", "Out.SVG", "--channels", "2-4,9"}, error)) << error;
    EXPECT_TRUE(svg.Svg());
    EXPECT_EQ(svg.channels->to_string().substr(100 - 9, 10), "1000011100");  // channels 9..0
}

// Ten channels, one with a gap and one with a spike: every channel's colour shows in the graph
// area and again in the legend below it, and the cursor line crosses the area.
TEST(PlotProgram, DrawsEveryChannelOfAFixture) {
    const std::string png = testing_support::TestHome() + "/graph10.png";
    const std::vector<std::string> args{kFixture,   "-o",  png,        "--width", "700",
                                        "--height", "420", "--cursor", "333"};
    ASSERT_EQ(Plot(args), 0) << PlotOutput();
    const QImage image(QString::fromStdString(png));
    const TPlotFigureOutput here = PlotHere(args);
    ASSERT_EQ(image.size(), here.image.size());
    ASSERT_EQ(here.area.size(), QSize(700, 420));
    const QImage area = image.copy(here.area);
    const std::set<QRgb> colors = Colours(area);
    const TDisplayColors defaults;
    for (int channel = 1; channel <= 10; ++channel)
        EXPECT_EQ(colors.count(defaults.Rgb(channel)), 1u) << "channel " << channel;
    EXPECT_EQ(colors.count(defaults.Rgb(TDisplayColors::kGrid)), 1u);
    EXPECT_EQ(colors.count(defaults.Rgb(TDisplayColors::kBackground)), 1u);
    // The cursor's colour is channel 1's red: its column is red from top to bottom.
    int cursorColumns = 0;
    for (int x = 0; x < area.width(); ++x) {
        bool full = true;
        for (int y = 0; y < area.height() && full; ++y)
            full = area.pixel(x, y) == defaults.Rgb(TDisplayColors::kCursor);
        cursorColumns += full;
    }
    EXPECT_EQ(cursorColumns, 2);
    // The legend below the area shows each channel's colour.
    const QImage legend =
        image.copy(0, here.area.bottom() + 1, image.width(), image.height() - here.area.bottom() - 1);
    const std::set<QRgb> legendColors = Colours(legend);
    for (int channel = 1; channel <= 10; ++channel)
        EXPECT_EQ(legendColors.count(defaults.Rgb(channel)), 1u) << "channel " << channel;
    // No note: the file's own view shows the whole run.
    EXPECT_TRUE(here.notes.empty());
}

TEST(PlotProgram, FailuresAndTheirStatus) {
    const std::string png = testing_support::TestHome() + "/none.png";
    EXPECT_EQ(Plot({testing_support::TestHome() + "/missing.csv", "-o", png}), 1);
    EXPECT_EQ(Plot({kFixture, "-o", png, "--cursor", "600"}), 1);  // records 0 .. 599
    EXPECT_NE(PlotOutput().find("no record 600 in the file (records 0 to 599)"), std::string::npos)
        << PlotOutput();
    // Never moved to what can be shown: refused, with the file's records.
    EXPECT_EQ(Plot({kFixture, "-o", png, "--start", "600"}), 1);
    EXPECT_NE(PlotOutput().find("--start 600 is past the file's records (0 to 599)"), std::string::npos);
    EXPECT_EQ(Plot({kFixture, "-o", png, "--channels", "3,11-12"}), 1);
    EXPECT_NE(PlotOutput().find("--channels 11-12: not in the file (its channels: 1-10)"), std::string::npos);
    EXPECT_EQ(Plot({kFixture, "-o", png, "--start", "500", "--time-div", "10sec", "--cursor", "20"}), 1);
    EXPECT_NE(PlotOutput().find("outside the records drawn (500 to 599)"), std::string::npos) << PlotOutput();
    EXPECT_EQ(Plot({kFixture, "-o", testing_support::TestHome() + "/no/such/folder/x.png"}), 1);
    EXPECT_EQ(Plot({kFixture, "--width", "big", "-o", png}), 2);
    EXPECT_EQ(Plot({"--help"}), 0);
    // Scales, edge and a fast screen from the command line; the edge where it was asked for.
    const std::vector<std::string> args{kFixture,     "-o",  png,       "--time-div", "1sec",
                                        "--temp-div", "200", "--start", "595"};
    EXPECT_EQ(Plot(args), 0);
    const TPlotFigureOutput here = PlotHere(args);
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), here.image.size());
    EXPECT_EQ(here.area.size(), QSize(1000, 600));
}

// A run of 3000 records whose file keeps a view of 100 s: the whole run is drawn unless a view is
// asked for, and the choice is said; --fit with --start shows the rest of the run.
TEST(PlotView, WholeRunUnlessAViewIsAskedFor) {
    const std::string file =
        WriteDataFile("run3000.csv", 3000, "1sec", 1000, "2026/03/14 10:00:00", 2,
                      [](int k, uint32_t i) { return 200 + k * 100 + static_cast<int>(i % 50); });
    const std::string png = testing_support::TestHome() + "/run3000.png";
    const struct {
        std::vector<std::string> extra;
        uint32_t start;
        uint32_t perDivision;
        std::string name;
        bool noted;
    } cases[] = {
        {{}, 0, 300, "5min", true},
        {{"--fit"}, 0, 300, "5min", false},
        {{"--fit", "--start", "2000"}, 2000, 120, "2min", false},  // 1000 records: 2 min a division
        {{"--time-div", "10sec"}, 0, 10, "10sec", false},
        {{"--start", "1234"}, 1234, 10, "10sec", false},  // the edge exactly where asked
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args{file, "-o", png};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const TPlotFigureOutput output = PlotHere(args);
        ASSERT_EQ(output.notes.size(), c.noted ? 1u : 0u);
        if (c.noted) {
            EXPECT_EQ(
                output.notes[0],
                "the file's view (10sec a division from record 0) shows records 0 to 100 of 0 to 2999; "
                "drawing the whole run at 5min a division (--fit; --time-div or --start choose a view)");
        }
        TPlotOptions options;
        std::string error;
        ASSERT_TRUE(options.Parse(args, error));
        CMeasurementDataManager store;
        VEK::TDataFileView fileView;
        ASSERT_TRUE(VEK::LoadDataFile(file, store, fileView, TMeasurementSetup{}));
        TPlotView view;
        ASSERT_TRUE(TPlotView::Choose(options, store, fileView, view, error)) << error;
        EXPECT_EQ(view.time.start, c.start);
        EXPECT_EQ(view.RecordsPerDivision(), c.perDivision);
        EXPECT_EQ(view.timeDivName, c.name);
    }
}

// The clock times of the divisions, with the date where the view crosses midnight; the
// temperature numbers of the grid lines; a week at one minute gets a division of a day.
TEST(PlotFigure, ScaleNumbersAndClockTimes) {
    EnsureTestApplication();
    const std::string file = WriteDataFile("night.csv", 3000, "1sec", 1000, "2026/03/14 23:30:00", 1,
                                           [](int, uint32_t i) { return 250 + static_cast<int>(i % 7); });
    TPlotOptions options;
    std::string error;
    ASSERT_TRUE(options.Parse({file, "-o", "x.png", "--fit"}, error));
    CMeasurementDataManager store;
    VEK::TDataFileView fileView;
    ASSERT_TRUE(VEK::LoadDataFile(file, store, fileView, TMeasurementSetup{}));
    TPlotView view;
    ASSERT_TRUE(TPlotView::Choose(options, store, fileView, view, error)) << error;
    const CPlotFigure figure(store, view, TDisplayColors(), "night.csv", QSize(1000, 600));
    const std::vector<std::string> times = figure.TimeLabels();
    ASSERT_EQ(times.size(), 11u);
    EXPECT_EQ(times[0], "23:30:00\n2026/03/14");
    EXPECT_EQ(times[1], "23:35:00");
    EXPECT_EQ(times[6], "00:00:00\n2026/03/15");
    EXPECT_EQ(times[10], "00:20:00");
    // 20 degrees a division around 100 (the file's): 200 at the top, 0 at the bottom.
    const std::vector<std::string> degrees = figure.TemperatureLabels();
    ASSERT_EQ(degrees.size(), 11u);
    EXPECT_EQ(degrees[0], "200");
    EXPECT_EQ(degrees[10], "0");
    EXPECT_EQ(figure.Title(),
              "night.csv   started 2026/03/14 23:30:00   every 1sec   records 0 to 2999 of 3000   "
              "5min / 20deg C a division");

    const std::string week = WriteDataFile("week.csv", 7 * 1440, "1min", 60000, "2026/03/14 00:00:00", 1,
                                           [](int, uint32_t) { return 250; });
    TPlotOptions weekOptions;
    ASSERT_TRUE(weekOptions.Parse({week, "-o", "x.png", "--fit"}, error));
    ASSERT_TRUE(VEK::LoadDataFile(week, store, fileView, TMeasurementSetup{}));
    ASSERT_TRUE(TPlotView::Choose(weekOptions, store, fileView, view, error)) << error;
    EXPECT_EQ(view.timeDivName, "1day");
    EXPECT_EQ(view.RecordsPerDivision(), 1440u);
}

// A day at one second with one reading that stands out: thinned to a few records a pixel column,
// the spike still reaches its height, in the PNG and in the SVG drawn back into pixels.
TEST(PlotProgram, SpikeSurvivesThinningInPngAndSvg) {
    const uint32_t spikeAt = 40000;
    const std::string file = WriteDataFile("day.csv", 86400, "1sec", 1000, "2026/03/14 00:00:00", 1,
                                           [](int, uint32_t i) { return i == spikeAt ? 1800 : 250; });
    for (const std::string name : {"day.png", "day.svg"}) {
        SCOPED_TRACE(name);
        const std::string out = testing_support::TestHome() + "/" + name;
        const std::vector<std::string> args{file, "-o", out, "--fit"};
        ASSERT_EQ(Plot(args), 0) << PlotOutput();
        const TPlotFigureOutput here = PlotHere(args);
        QImage image;
        if (name == "day.svg") {
            QSvgRenderer svg(QString::fromStdString(out));
            ASSERT_TRUE(svg.isValid());
            EXPECT_EQ(svg.viewBox(), QRect(QPoint(0, 0), here.size));
            image = QImage(here.size, QImage::Format_RGB32);
            QPainter painter(&image);
            svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(here.size)));
        } else {
            image = QImage(QString::fromStdString(out));
        }
        const QImage area = image.copy(here.area);
        // 20 degrees a division, 0 to 200: 180.0 lies a division below the top, 25.0 far below.
        // Channel 1 is red; the SVG's edges are smoothed.
        int top = area.height();
        for (int y = 0; y < area.height(); ++y)
            for (int x = 5; x < area.width() - 5; ++x) {
                const QColor pixel(area.pixel(x, y));
                if (pixel.red() > 128 && pixel.green() < 80 && pixel.blue() < 80)
                    top = std::min(top, y);
            }
        EXPECT_NEAR(top, area.height() / 10, 3);
    }
    const std::string svgText = ReadFile(testing_support::TestHome() + "/day.svg");
    EXPECT_NE(svgText.find("CH1  oven 1"), std::string::npos);
    EXPECT_NE(svgText.find("day.csv   started 2026/03/14 00:00:00"), std::string::npos);
}

}  // namespace
