#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "data/UnitReportLayout.h"
#include "files/OffsetCapture.h"

using namespace VEK;

namespace {

std::vector<uint8_t> Report(int unit, int32_t count, int samples = 1) {
    std::vector<uint8_t> bytes = {3, static_cast<uint8_t>(unit), 90, static_cast<uint8_t>(samples), 7};
    const auto raw = static_cast<uint32_t>(count);
    for (int i = 0; i < samples; ++i)
        bytes.insert(bytes.end(), {0x03, 0x20, static_cast<uint8_t>(raw >> 16),
                                   static_cast<uint8_t>(raw >> 8), static_cast<uint8_t>(raw)});
    return bytes;
}

TEST(OffsetCapture, TakesTheFirstCountOfRequestedUnits) {
    struct TCase {
        const char* name;
        int row;
        std::vector<uint8_t> report;
        int channel;     // whose entry is looked at
        bool taken;      // the entry holds the report's count
        size_t pending;  // afterwards
    };
    std::vector<uint8_t> nineBytes = Report(2, 100);
    nineBytes.pop_back();
    std::vector<uint8_t> noSample = Report(2, 100);
    noSample[3] = 0x10;  // high bits are no count
    const TCase cases[] = {
        {"ALL, unit 2", COffsetCapture::kAllRow, Report(2, -1234), 2, true, 99},
        {"row 5, unit 5", 5, Report(5, 77), 5, true, 0},
        {"row 5, unit 6", 5, Report(6, 77), 6, false, 1},
        {"no sample", COffsetCapture::kAllRow, noSample, 2, false, 100},
        {"9 bytes claiming a sample", COffsetCapture::kAllRow, nineBytes, 2, false, 100},
        {"unit 0", COffsetCapture::kAllRow, Report(0, 5), 0, false, 100},
        {"unit 101", COffsetCapture::kAllRow, Report(101, 5), 100, false, 100},
        {"unit 255", COffsetCapture::kAllRow, Report(255, 5), 100, false, 100},
        {"full scale", COffsetCapture::kAllRow, Report(2, 0x7FFFFF), 2, false, 100},
        {"negative full scale", COffsetCapture::kAllRow, Report(2, -0x800000), 2, false, 100},
        {"one below full scale", COffsetCapture::kAllRow, Report(2, 0x7FFFFE), 2, true, 99},
        {"two samples", 3, Report(3, 4096, 2), 3, true, 0},
    };
    for (const TCase& c : cases) {
        TOffsetTable table;
        COffsetCapture capture(table);
        capture.Open(c.row);
        EXPECT_TRUE(table.modified) << c.name;
        capture.CaptureOffset(c.report);
        EXPECT_EQ(capture.PendingCount(), c.pending) << c.name;
        if (c.channel == 0)
            continue;
        const TOffsetEntry& entry = table.entries[c.channel];
        if (c.taken) {
            EXPECT_TRUE(entry.HasValue()) << c.name;
            EXPECT_EQ(entry.offset, UnitReport::ReadSigned24(c.report.data() + 7)) << c.name;
        } else {
            const bool requested = c.row == COffsetCapture::kAllRow || c.row == c.channel;
            EXPECT_EQ(entry.Unanswered(), requested) << c.name;
            EXPECT_EQ(entry.hasData, requested) << c.name;
        }
    }
}

TEST(OffsetCapture, ReportsAfterClosingChangeNothing) {
    TOffsetTable table;
    table.entries[1].inUse = true;
    table.entries[4] = {false, true, 11};
    COffsetCapture capture(table);
    int calls = 0;
    capture.Open(COffsetCapture::kAllRow, [&] { ++calls; });
    capture.CaptureOffset(Report(1, 500));
    capture.CaptureOffset(Report(1, 600));  // a later report of the unit replaces the earlier
    EXPECT_EQ(table.entries[1].offset, 600);
    EXPECT_TRUE(table.entries[1].inUse);  // use flags stay
    EXPECT_TRUE(table.entries[4].Unanswered());
    const std::vector<int> left = capture.Close();
    ASSERT_EQ(left.size(), 99u);
    EXPECT_EQ(left.front(), 2);
    EXPECT_FALSE(capture.IsOpen());
    capture.CaptureOffset(Report(2, 700));
    EXPECT_TRUE(table.entries[2].Unanswered());
    EXPECT_EQ(capture.PendingCount(), 0u);
    EXPECT_EQ(calls, 0);
}

TEST(OffsetCapture, SaysOnceWhenNothingIsPending) {
    TOffsetTable table;
    COffsetCapture capture(table);
    int calls = 0;
    capture.Open(8, [&] { ++calls; });
    capture.CaptureOffset(Report(9, 1));
    EXPECT_EQ(calls, 0);
    capture.CaptureOffset(Report(8, 1));
    capture.CaptureOffset(Report(8, 2));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(capture.Close(), std::vector<int>{});
    EXPECT_EQ(table.entries[8].offset, 2);
}

// The receive thread captures while the window thread waits and closes; whatever it saw pending at
// the close stays unanswered, everything else holds a count.
TEST(OffsetCapture, CloseRacesWithTheReceiveThread) {
    for (int round = 0; round < 20; ++round) {
        TOffsetTable table;
        COffsetCapture capture(table);
        std::atomic<bool> nothingPending{false};
        capture.Open(COffsetCapture::kAllRow, [&] { nothingPending = true; });
        std::thread receive([&] {
            for (int unit = 1; unit <= TOffsetTable::kChannels; ++unit)
                capture.CaptureOffset(Report(unit, unit));
        });
        while (capture.PendingCount() > static_cast<size_t>(100 - round * 5)) std::this_thread::yield();
        const std::vector<int> left = capture.Close();
        receive.join();
        for (int channel = 1; channel <= TOffsetTable::kChannels; ++channel) {
            const bool pending = std::find(left.begin(), left.end(), channel) != left.end();
            EXPECT_EQ(table.entries[channel].Unanswered(), pending) << channel;
            if (!pending) {
                EXPECT_EQ(table.entries[channel].offset, channel);
            }
        }
        EXPECT_EQ(nothingPending.load(), left.empty());
    }
}

}  // namespace
