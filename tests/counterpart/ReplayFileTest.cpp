#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "counterpart/OppositeEngine.h"
#include "counterpart/ReplayFile.h"
#include "data/MeasurementDataManager.h"
#include "data/Reading.h"
#include "data/StoreMeasurementReport.h"
#include "support/TestHome.h"

namespace {

const std::string kFixture = std::string(HOLLOWMERE_SOURCE_DIR) + "/tests/counterpart/fixtures/replay.csv";

// The receiving application's store, measuring channels 1 and 2 on type K.
void StartReceiver(CMeasurementDataManager& receiver) {
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);
    setup.pollingSetting.SetUnitCode(1, 1);
    setup.pollingSetting.SetUnitCode(2, 1);
    receiver.Start(setup);
}

TEST(ReplayFile, ReadingsOfASmallDataFileArriveAgain) {
    std::shared_ptr<CMeasurementDataManager> data = ReadReplayFile(kFixture);
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data->RecordCount(), 3u);

    COppositeEngine engine;
    engine.Units().Clear();
    engine.Units().Unit(1).use = true;
    engine.Units().Unit(2).use = true;
    ASSERT_TRUE(engine.SetReplay(data));
    CMeasurementDataManager receiver;
    StartReceiver(receiver);
    for (int cycle = 0; cycle < 4; ++cycle) {
        for (const std::vector<uint8_t>& frame : engine.MeasurementCycle()) {
            const std::vector<uint8_t> report(frame.begin() + 5, frame.end() - 2);
            ASSERT_TRUE(StoreMeasurementReport(receiver, report));
        }
        receiver.AdvanceTick();  // a cycle is a period of the receiver's record clock
    }
    // Records repeat after the file's last; Lost and a channel that was off come as Out Of Range.
    const int16_t channel1[] = {250, kReadingOutOfRange, -15, 250};
    for (uint32_t k = 0; k < 4; ++k) {
        EXPECT_EQ(CMeasurementDataManager::GetReading(receiver.Channel(1), k), channel1[k]) << k;
        EXPECT_EQ(CMeasurementDataManager::GetReading(receiver.Channel(2), k), kReadingOutOfRange) << k;
    }
}

TEST(ReplayFile, FilesThatCannotBeReplayed) {
    EXPECT_EQ(ReadReplayFile(testing_support::TestHome() + "/missing.csv"), nullptr);

    const std::string notData = testing_support::TestHome() + "/not-data.csv";
    std::ofstream(notData) << "a,b,c\r\n";
    EXPECT_EQ(ReadReplayFile(notData), nullptr);

    // The header alone: readable, but there is nothing to repeat.
    std::ifstream in(kFixture, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string headerOnly = testing_support::TestHome() + "/header-only.csv";
    std::ofstream(headerOnly, std::ios::binary) << text.substr(0, text.find("1,2026"));
    std::shared_ptr<CMeasurementDataManager> empty = ReadReplayFile(headerOnly);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->RecordCount(), 0u);
    COppositeEngine engine;
    EXPECT_FALSE(engine.SetReplay(empty));
    EXPECT_FALSE(engine.IsReplaying());
    EXPECT_EQ(engine.MeasurementCycle().size(), 100u);
}

}  // namespace
