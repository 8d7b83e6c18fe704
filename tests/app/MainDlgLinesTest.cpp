// What the main window's status and information lines show, and which commands are available.
#include <gtest/gtest.h>

#include <QLabel>

#include "app/CommandAvailability.h"
#include "app/CounterpartTitle.h"
#include "app/InformationLine.h"
#include "app/StatusLine.h"
#include "controller/LoopbackTestHelpers.h"
#include "data/MeasurementDataManager.h"
#include "display/TestApplication.h"

namespace {

constexpr int kEmpty = CMeasurementDataManager::kStateEmpty;
constexpr int kMeasuring = CMeasurementDataManager::kStateMeasuring;
constexpr int kHolding = CMeasurementDataManager::kStateHolding;

TEST(StatusLookTest, ColoursAndBlinkByStateAndConnection) {
    struct TCase {
        int state;
        bool connected, attempted;
        TStatusColors colors;
        bool blinks;
    };
    const TCase cases[] = {
        {kMeasuring, true, true, TStatusLook::kMeasuring, false},
        {kMeasuring, false, true, TStatusLook::kMeasuring, false},
        {kEmpty, true, true, TStatusLook::kWaiting, false},
        {kHolding, true, false, TStatusLook::kWaiting, false},
        {kEmpty, false, false, TStatusLook::kWaiting, false},
        {kHolding, false, false, TStatusLook::kWaiting, false},
        {kEmpty, false, true, TStatusLook::kNotReady, true},
        {kHolding, false, true, TStatusLook::kNotReady, false},
    };
    for (const TCase& c : cases) {
        const TStatusLook look = TStatusLook::For(c.state, c.connected, c.attempted);
        EXPECT_EQ(look.colors, c.colors) << c.state << c.connected << c.attempted;
        EXPECT_EQ(look.blinks, c.blinks) << c.state << c.connected << c.attempted;
    }
    EXPECT_EQ(TStatusLook::kMeasuring, (TStatusColors{0x000000, 0x49C12C}));  // RGB(73, 193, 44)
    EXPECT_EQ(TStatusLook::kNotReady, (TStatusColors{0x000000, 0xFF4040}));
}

TEST(StatusLineTest, BlinksOnTimerOneUntilTheNextRefresh) {
    EnsureTestApplication();
    QLabel label;
    CStatusLine line(&label);
    line.Refresh("Not Ready", TStatusLook::For(kEmpty, false, true));
    EXPECT_EQ(label.text(), "Not Ready");
    EXPECT_EQ(label.palette().color(QPalette::Window), QColor(255, 64, 64));
    ASSERT_TRUE(Pump([&] { return line.Colors() == TStatusLook::kBlinkFirst; }, 2000));
    EXPECT_EQ(label.palette().color(QPalette::Window), QColor(200, 200, 200));
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(200, 0, 0));
    ASSERT_TRUE(Pump([&] { return line.Colors() == TStatusLook::kBlinkSecond; }, 2000));
    EXPECT_EQ(label.palette().color(QPalette::Window), QColor(255, 0, 0));

    line.Refresh("Ready", TStatusLook::For(kEmpty, true, true));
    EXPECT_FALSE(line.Blinking());
    EXPECT_FALSE(Pump([&] { return line.Colors() != TStatusLook::kWaiting; }, 700));
}

TEST(InformationLineTest, RowsByRunState) {
    VEK::CSystemTime start;
    ASSERT_TRUE(start.Parse("2026/05/01 12:34:56"));
    struct TCase {
        TInformationLine line;
        std::string expected;
    };
    const TCase cases[] = {
        {{kEmpty, start, "/d/x.csv", false, 4, 5}, " File: no data   / Sampling Rate: 1sec / System No.: 5"},
        {{kEmpty, {}, "", false, 1, 0}, " File: no data   / Sampling Rate: 100msec / System No.: --"},
        {{kMeasuring, start, "", false, 3, 12},
         " Start Time: 2026-05-01 12:34:56   / File: not saved   / Sampling Rate: 500msec / System No.: 12"},
        {{kHolding, start, "", true, 4, 5},
         " Start Time: 2026-05-01 12:34:56   / File: not saved   / Sampling Rate: 1sec / System No.: 5"},
        {{kHolding, start, "/data/run.csv", false, 10, 5},
         " Start Time: 2026-05-01 12:34:56   / File: run.csv   / Sampling Rate: 1min / System No.: 5"},
        {{kHolding, start, "/data/run.csv", true, 10, 5},
         " Start Time: 2026-05-01 12:34:56   / File: run.csv*   / Sampling Rate: 1min / System No.: 5"},
        {{kMeasuring, start, "", false, 4, 5, "MQTT connected"},
         " Start Time: 2026-05-01 12:34:56   / File: not saved   / Sampling Rate: 1sec / System No.: 5   / "
         "MQTT "
         "connected"},
    };
    for (const TCase& c : cases) EXPECT_EQ(c.line.Text(), c.expected);
}

TEST(CommandAvailabilityTest, StartNeedsAConnectedDongleAndAChannelTheRateCanTake) {
    auto polling = [](uint8_t rate, std::initializer_list<int> channels) {
        TPollingSetting setting = TPollingSetting::Fresh();
        setting.SetRateCode(rate);
        for (int channel : channels) setting.SetInUse(channel, true);
        return setting;
    };
    struct TCase {
        const char* name;
        bool connected;
        TPollingSetting polling;
        bool start;
    };
    const TCase cases[] = {
        {"channel 1 at 1 s", true, polling(4, {1}), true},
        {"not connected", false, polling(4, {1}), false},
        {"no channel", true, polling(4, {}), false},
        {"channel 30 at 500 ms", true, polling(3, {30}), false},
        {"channels 20 and 30 at 500 ms", true, polling(3, {20, 30}), true},
        {"channel 100 at 1 s", true, polling(4, {100}), true},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(TCommandAvailability::For(kEmpty, c.connected, false, c.polling).startStop, c.start)
            << c.name;

    struct TMenuCase {
        int state;
        bool cursor;
        bool menus, saveData, deletions;
    };
    const TMenuCase menuCases[] = {
        {kEmpty, false, true, false, false},  {kMeasuring, false, false, false, false},
        {kHolding, false, true, true, false}, {kHolding, true, true, true, true},
        {kEmpty, true, true, false, true},
    };
    for (const TMenuCase& c : menuCases) {
        const TCommandAvailability availability =
            TCommandAvailability::For(c.state, true, c.cursor, polling(4, {1}));
        EXPECT_EQ(availability.menus, c.menus) << c.state;
        EXPECT_EQ(availability.saveData, c.saveData) << c.state;
        EXPECT_EQ(availability.deletions, c.deletions) << c.state << c.cursor;
    }
}

TEST(CounterpartTitleTest, RightEdgeTimeCountsInSixtyFourBits) {
    struct TCase {
        TCounterpartTitle title;
        std::string expected;
    };
    const TCase cases[] = {
        {{false, "00:00:10", 11, 0, 10, 1000}, "対向"},
        {{true, "00:00:00", 0, 0, 10, 1000}, "対向 - 00:00:00 / 00:00:00"},
        {{true, "00:00:04", 5, 0, 10, 1000}, "対向 - 00:00:04 / 00:00:04"},
        {{true, "00:00:10", 100, 20, 10, 1000}, "対向 - 00:00:10 / 00:00:30"},
        // 5,000,000 records at 1 min: far beyond 32 bits of milliseconds.
        {{true, "x", 5000000, 4999000, 600, 60000}, "対向 - x / 83326:40:00"},
    };
    for (const TCase& c : cases) EXPECT_EQ(c.title.Text(), c.expected);
}

}  // namespace
