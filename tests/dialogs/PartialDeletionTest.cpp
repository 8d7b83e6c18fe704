#include <gtest/gtest.h>

#include <limits>

#include "ScriptedOperatorPrompt.h"
#include "dialogs/PartialDeletion.h"

namespace {

// The graph's cursor as far as the deletions see it: where it stands and whether the graph was
// told of the cut.
class CTestCursor : public IDeletionCursor {
public:
    bool on = true;
    uint32_t start = 0;
    uint32_t offset = 0;
    std::vector<bool> cuts;  // DataCut's argument per call

    bool CursorOn() const override { return on; }
    uint32_t ViewStart() const override { return start; }
    uint32_t CursorOffset() const override { return offset; }
    void DataCut(bool before) override {
        on = false;
        cuts.push_back(before);
    }
};

// Finished data of n records at 1 s, channel 1 reading its record number.
void Finish(CMeasurementDataManager& store, uint32_t n) {
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);
    setup.pollingSetting.SetInUse(1, true);
    store.Start(setup);
    for (uint32_t i = 0; i < n; ++i)
        CMeasurementDataManager::SetReading(store.Channel(1), i, static_cast<int16_t>(i));
    store.SetRecordCount(n);
    store.Stop();
    store.SetModified(false);
}

TEST(PartialDeletion, CutsAtTheCursorsRecordOrNothing) {
    constexpr uint32_t kMax = std::numeric_limits<uint32_t>::max();
    struct {
        const char* name;
        uint32_t start, offset;
        EDeletionSide side;
        uint32_t records;
        int64_t startMovedMs;
        int16_t firstReading;
        bool modified;
    } cases[] = {
        {"record 400 before", 300, 100, EDeletionSide::kBefore, 600, 400000, 400, true},
        {"record 400 after", 300, 100, EDeletionSide::kAfter, 401, 0, 0, true},
        {"record 0 before", 0, 0, EDeletionSide::kBefore, 1000, 0, 0, false},
        {"last record after", 990, 9, EDeletionSide::kAfter, 1000, 0, 0, false},
        {"last record before", 990, 9, EDeletionSide::kBefore, 1, 999000, 999, true},
        {"record n before", 990, 10, EDeletionSide::kBefore, 1000, 0, 0, false},
        {"record n after", 990, 10, EDeletionSide::kAfter, 1000, 0, 0, false},
        {"record n + 500 before", 1000, 500, EDeletionSide::kBefore, 1000, 0, 0, false},
        {"record n + 500 after", 1000, 500, EDeletionSide::kAfter, 1000, 0, 0, false},
        // Start and offset together past 32 bits: not record 9.
        {"beyond 32 bits before", kMax, 10, EDeletionSide::kBefore, 1000, 0, 0, false},
        {"beyond 32 bits after", kMax, 10, EDeletionSide::kAfter, 1000, 0, 0, false},
    };
    for (const auto& c : cases) {
        CMeasurementDataManager store;
        Finish(store, 1000);
        const VEK::CSystemTime startTime = store.StartTime();
        CScriptedOperatorPrompt prompt;
        prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
        CTestCursor cursor;
        cursor.start = c.start;
        cursor.offset = c.offset;
        EXPECT_TRUE(DeletePartially(prompt, store, cursor, c.side)) << c.name;
        EXPECT_EQ(store.RecordCount(), c.records) << c.name;
        EXPECT_EQ(store.StartTime(), startTime.AddMilliseconds(c.startMovedMs)) << c.name;
        EXPECT_EQ(CMeasurementDataManager::GetReading(store.Channel(1), 0), c.firstReading) << c.name;
        EXPECT_EQ(store.IsModified(), c.modified) << c.name;
        EXPECT_EQ(cursor.cuts, std::vector<bool>{c.side == EDeletionSide::kBefore}) << c.name;
        EXPECT_FALSE(cursor.on) << c.name;
        ASSERT_EQ(prompt.boxes.size(), 1u);
        EXPECT_EQ(prompt.boxes[0].text, "Are you sure to delete measurement data partially?");
        EXPECT_EQ(prompt.boxes[0].caption, "Delete measurement data");
        EXPECT_TRUE(prompt.boxes[0].cancelPreselected);
    }
}

TEST(PartialDeletion, CancelCursorOffOrNoFinishedDataChangeNothing) {
    CMeasurementDataManager store;
    Finish(store, 100);
    CScriptedOperatorPrompt prompt;  // cancels
    CTestCursor cursor;
    cursor.offset = 50;
    EXPECT_FALSE(DeletePartially(prompt, store, cursor, EDeletionSide::kBefore));
    EXPECT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(store.RecordCount(), 100u);
    EXPECT_TRUE(cursor.on);
    EXPECT_TRUE(cursor.cuts.empty());

    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    cursor.on = false;
    EXPECT_FALSE(DeletePartially(prompt, store, cursor, EDeletionSide::kAfter));
    cursor.on = true;
    store.SetState(CMeasurementDataManager::kStateEmpty);
    EXPECT_FALSE(DeletePartially(prompt, store, cursor, EDeletionSide::kAfter));
    EXPECT_EQ(prompt.Asked().size(), 1u);  // neither asked
    EXPECT_EQ(store.RecordCount(), 100u);
}

}  // namespace
