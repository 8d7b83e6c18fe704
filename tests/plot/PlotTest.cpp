#include <gtest/gtest.h>

#include <QImage>
#include <chrono>
#include <set>

#include "display/DisplayColors.h"
#include "plot/PlotOptions.h"
#include "support/AppProcess.h"
#include "support/TestHome.h"

namespace {

using namespace std::chrono_literals;

const std::string kFixture = std::string(HOLLOWMERE_SOURCE_DIR) + "/tests/plot/fixtures/graph10.csv";

int Plot(const std::vector<std::string>& args) {
    CAppProcess plot(CAppProcess::BinaryPath("hollowmere-plot"), args,
                     testing_support::TestHome() + "/plot-output.txt");
    return plot.Wait(30s);
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
}

// Ten channels, one with a gap and one with a spike: every channel's colour shows, and the
// cursor line.
TEST(PlotProgram, DrawsEveryChannelOfAFixture) {
    const std::string png = testing_support::TestHome() + "/graph10.png";
    ASSERT_EQ(Plot({kFixture, "-o", png, "--width", "700", "--height", "420", "--cursor", "333"}), 0);
    const QImage image(QString::fromStdString(png));
    ASSERT_EQ(image.size(), QSize(700, 420));
    std::set<QRgb> colors;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) colors.insert(image.pixel(x, y) | 0xFF000000u);
    }
    const TDisplayColors defaults;
    for (int channel = 1; channel <= 10; ++channel)
        EXPECT_EQ(colors.count(defaults.Rgb(channel)), 1u) << "channel " << channel;
    EXPECT_EQ(colors.count(defaults.Rgb(TDisplayColors::kGrid)), 1u);
    EXPECT_EQ(colors.count(defaults.Rgb(TDisplayColors::kBackground)), 1u);
    // The cursor's colour is channel 1's red: its column is red from top to bottom.
    int cursorColumns = 0;
    for (int x = 0; x < image.width(); ++x) {
        bool full = true;
        for (int y = 0; y < image.height() && full; ++y)
            full = image.pixel(x, y) == defaults.Rgb(TDisplayColors::kCursor);
        cursorColumns += full;
    }
    EXPECT_EQ(cursorColumns, 2);
}

TEST(PlotProgram, FailuresAndTheirStatus) {
    const std::string png = testing_support::TestHome() + "/none.png";
    EXPECT_EQ(Plot({testing_support::TestHome() + "/missing.csv", "-o", png}), 1);
    EXPECT_EQ(Plot({kFixture, "-o", png, "--cursor", "600"}), 1);  // records 0 .. 599
    EXPECT_EQ(Plot({kFixture, "-o", testing_support::TestHome() + "/no/such/folder/x.png"}), 1);
    EXPECT_EQ(Plot({kFixture, "--width", "big", "-o", png}), 2);
    EXPECT_EQ(Plot({"--help"}), 0);
    // Scales, edge and a fast screen from the command line.
    EXPECT_EQ(Plot({kFixture, "-o", png, "--time-div", "1sec", "--temp-div", "200", "--start", "595"}), 0);
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(1000, 600));
}

}  // namespace
