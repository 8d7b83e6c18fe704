#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "counterpart/OppositeEngine.h"
#include "data/MeasurementDataManager.h"
#include "data/Reading.h"
#include "data/StoreMeasurementReport.h"
#include "data/Thermocouple.h"
#include "data/UnitInformation.h"
#include "data/UnitReportLayout.h"
#include "protocol/CommandCode.h"
#include "protocol/FwVersionResponse.h"

namespace {

namespace Code = QNL::Code;
using TBytes = std::vector<uint8_t>;

TBytes Frame(uint8_t command, const TBytes& data) {
    TBytes frame(data.size() + 5, 0);
    frame[0] = 0x02;
    frame[1] = static_cast<uint8_t>(data.size() + 2);
    frame[2] = command;
    std::copy(data.begin(), data.end(), frame.begin() + 3);
    uint8_t sum = 0;
    for (size_t i = 1; i < frame.size() - 2; ++i) sum = static_cast<uint8_t>(sum + frame[i]);
    frame[frame.size() - 2] = sum;
    frame[frame.size() - 1] = 0x03;
    return frame;
}

// The data of a polling data send setting: pipe 0, length 26, the setting.
TBytes PollingData(uint8_t rate, const std::vector<std::pair<int, uint8_t>>& unitCodes) {
    TPollingSetting setting;
    setting.SetRateCode(rate);
    for (auto [unit, code] : unitCodes) setting.SetUnitCode(unit, code);
    TBytes data(2 + setting.bytes.size(), 0);
    data[1] = 26;
    std::copy(setting.bytes.begin(), setting.bytes.end(), data.begin() + 2);
    return data;
}

COppositeEngine::TReaction Handle(COppositeEngine& engine, uint8_t command, const TBytes& data) {
    return engine.HandleFrame(command, data.data(), data.size());
}

// The unit report inside a data received event frame.
TBytes ReportOf(const TBytes& frame) {
    EXPECT_GE(frame.size(), 7u);
    EXPECT_EQ(frame[2], Code::kDataReceivedEvent);
    return TBytes(frame.begin() + 5, frame.end() - 2);
}

struct TReport {
    int unit = 0;
    int sequence = 0;
    std::vector<int32_t> sensors;
    std::vector<int32_t> counts;
};

TReport Decode(const TBytes& frame) {
    const TBytes report = ReportOf(frame);
    TReport decoded;
    decoded.unit = report[1];
    decoded.sequence = report[4];
    const int samples = report[3] & 0x0F;
    EXPECT_EQ(report.size(), 5u + 5u * samples);
    for (int i = 0; i < samples; ++i) {
        const uint8_t* sample = report.data() + 5 + 5 * i;
        decoded.sensors.push_back(UnitReport::ReadPacked14(sample));
        decoded.counts.push_back(UnitReport::ReadSigned24(sample + 2));
    }
    return decoded;
}

// Only the listed units in use, with a sensor value and a count.
void UseOnly(COppositeEngine& engine, const std::vector<int>& units, int32_t sensor = 0, int32_t count = 0) {
    COppositeUnitTable& table = engine.Units();
    table.Clear();
    for (int unit : units) table.Unit(unit) = TOppositeUnit{true, sensor, count, 0, 0};
}

struct TAnswerCase {
    const char* name;
    uint8_t command;
    TBytes data;
    std::vector<TBytes> expected;
};

TEST(OppositeEngine, AnswersEveryCommandByCode) {
    TBytes firmware = {0};
    const std::string model = "QUILLMARK-KVN";
    firmware.insert(firmware.end(), model.begin(), model.end());
    firmware.insert(firmware.end(), {0, 0, 0, '1', '.', '0', '0'});
    const TAnswerCase cases[] = {
        {"mode setting", Code::kModeSetting, {0x02, 0x05}, {{0x02, 0x03, 0x8F, 0x00, 0x92, 0x03}}},
        {"firmware version", Code::kFwVersion, {}, {Frame(Code::kFwVersionResponse, firmware)}},
        {"modulated carrier",
         Code::kStartModulationOutput,
         {0x50, 0x03, 0x02},
         {Frame(Code::kStartModulationOutputResponse, {0})}},
        {"unmodulated carrier",
         Code::kStartNoModulationOutput,
         {0x50, 0x03, 0x02},
         {Frame(Code::kStartNoModulationOutputResponse, {0})}},
        {"identification",
         Code::kStartIdentification,
         {0x50, 0x03, 0x02},
         {Frame(Code::kStartIdentificationResponse, {0})}},
        {"test reception",
         Code::kStartExaminationReception,
         {0x02, 0x07},
         {Frame(Code::kStartExaminationReceptionResponse, {0})}},
        {"stop test", Code::kStopOperation, {}, {Frame(Code::kStopOperationResponse, {0})}},
        {"short data send is not answered", Code::kShortDataSend, {0, 1, 0x55}, {}},
        {"an event is not answered", Code::kDataReceivedEvent, {0, 0, 3}, {}},
        {"a response is not answered", Code::kModeSettingResponse, {0}, {}},
    };
    for (const TAnswerCase& c : cases) {
        COppositeEngine engine;
        const COppositeEngine::TReaction reaction = Handle(engine, c.command, c.data);
        EXPECT_EQ(reaction.frames, c.expected) << c.name;
        EXPECT_EQ(reaction.periodic, COppositeEngine::EPeriodic::kUnchanged) << c.name;
    }
}

TEST(OppositeEngine, FirmwareAnswerReadsAsModelAndVersion) {
    COppositeEngine engine;
    const TBytes frame = Handle(engine, Code::kFwVersion, {}).frames.at(0);
    CFwVersionResponse response;
    ASSERT_EQ(response.ParseFrame(frame.data(), frame.size()), static_cast<int>(frame.size()));
    EXPECT_EQ(response.ResultByte(), 0);
    EXPECT_EQ(response.Param().ModelText(), "QUILLMARK-KVN");
    EXPECT_EQ(response.Param().VersionText(), "1.00");
}

TEST(OppositeEngine, AnswerFaults) {
    COppositeEngine::TOptions options;
    options.modeError = true;
    options.pollingError = true;
    options.silentCommands = {Code::kFwVersion};
    COppositeEngine engine;
    engine.SetOptions(options);
    EXPECT_EQ(Handle(engine, Code::kModeSetting, {0x02, 0x05}).frames,
              std::vector<TBytes>{Frame(Code::kModeSettingResponse, {1})});
    const COppositeEngine::TReaction polling =
        Handle(engine, Code::kPollingSetting, PollingData(4, {{1, 1}}));
    EXPECT_EQ(polling.frames, std::vector<TBytes>{Frame(Code::kPollingSettingResponse, {1})});
    EXPECT_EQ(polling.periodic, COppositeEngine::EPeriodic::kUnchanged);
    EXPECT_TRUE(Handle(engine, Code::kFwVersion, {}).frames.empty());
    EXPECT_EQ(Handle(engine, Code::kStopOperation, {}).frames,
              std::vector<TBytes>{Frame(Code::kStopOperationResponse, {0})});
}

struct TPeriodCase {
    const char* name;
    uint8_t rate;
    std::vector<std::pair<int, uint8_t>> units;
    uint32_t factor;
    COppositeEngine::EPeriodic periodic;
    uint32_t periodMs;
};

TEST(OppositeEngine, PeriodComesFromThePollingSetting) {
    using EPeriodic = COppositeEngine::EPeriodic;
    const TPeriodCase cases[] = {
        {"1 s", 4, {{1, 1}, {2, 1}, {3, 1}}, 9500, EPeriodic::kStart, 950},
        {"100 ms", 1, {{1, 1}}, 9500, EPeriodic::kStart, 95},
        {"1 hour", 16, {{100, 3}}, 9500, EPeriodic::kStart, 3420000},
        {"factor 1", 4, {{1, 1}}, 10000, EPeriodic::kStart, 1000},
        {"a tiny factor still runs", 1, {{1, 1}}, 1, EPeriodic::kStart, 1},
        {"rate code 0", 0, {{1, 1}}, 9500, EPeriodic::kStop, 0},
        {"no unit in use", 4, {{1, 2}}, 9500, EPeriodic::kStop, 0},
        {"unknown rate code", 17, {{1, 1}}, 9500, EPeriodic::kStop, 0},
    };
    for (const TPeriodCase& c : cases) {
        COppositeEngine engine;
        COppositeEngine::TOptions options;
        options.periodFactor = c.factor;
        engine.SetOptions(options);
        const COppositeEngine::TReaction reaction =
            Handle(engine, Code::kPollingSetting, PollingData(c.rate, c.units));
        EXPECT_EQ(reaction.frames, std::vector<TBytes>{Frame(Code::kPollingSettingResponse, {0})}) << c.name;
        EXPECT_EQ(reaction.periodic, c.periodic) << c.name;
        EXPECT_EQ(reaction.periodMs, c.periodMs) << c.name;
    }
}

TEST(OppositeEngine, MalformedPollingSettingIsRefused) {
    COppositeEngine engine;
    TBytes data = PollingData(4, {{1, 1}});
    data.resize(22);  // the length field still says 26
    const COppositeEngine::TReaction reaction = Handle(engine, Code::kPollingSetting, data);
    EXPECT_EQ(reaction.frames, std::vector<TBytes>{Frame(Code::kPollingSettingResponse, {1})});
    EXPECT_EQ(reaction.periodic, COppositeEngine::EPeriodic::kUnchanged);
}

TEST(OppositeEngine, PollingOffRestartsTheNumbering) {
    COppositeEngine engine;
    UseOnly(engine, {1});
    Handle(engine, Code::kPollingSetting, PollingData(4, {{1, 1}}));
    engine.MeasurementCycle();
    engine.MeasurementCycle();
    // An unknown rate code stops the cycle but keeps the numbering.
    Handle(engine, Code::kPollingSetting, PollingData(17, {{1, 1}}));
    EXPECT_EQ(engine.GlobalCounter(), 2u);
    EXPECT_EQ(engine.NextSample(1), 2u);
    Handle(engine, Code::kPollingSetting, PollingData(4, {}));
    EXPECT_EQ(engine.GlobalCounter(), 0u);
    EXPECT_EQ(engine.NextSample(1), 0u);
    EXPECT_EQ(Decode(engine.MeasurementCycle().at(0)).sequence, 0);
}

TEST(OppositeEngine, WhilePollingOnlyPolledUnitsReport) {
    COppositeEngine engine;  // every unit in use in the table
    EXPECT_EQ(engine.MeasurementCycle().size(), 100u);
    Handle(engine, Code::kPollingSetting, PollingData(4, {{1, 1}, {2, 3}, {3, 1}, {4, 2}}));
    std::vector<int> units;
    for (const TBytes& frame : engine.MeasurementCycle()) units.push_back(Decode(frame).unit);
    EXPECT_EQ(units, (std::vector<int>{1, 2, 3}));
    Handle(engine, Code::kPollingSetting, PollingData(0, {}));
    EXPECT_EQ(engine.MeasurementCycle().size(), 100u);
}

TEST(OppositeEngine, StopNoticeAndAutomaticInformation) {
    COppositeEngine::TOptions options;
    options.autoStopNotice = true;
    options.autoInformation = true;
    COppositeEngine engine;
    engine.SetOptions(options);
    UseOnly(engine, {1, 2, 3});
    const TBytes notice = {0x02, 0x03, 0x43, 0x00, 0x46, 0x03};
    EXPECT_EQ(COppositeEngine::StopNoticeFrame(), notice);

    // Polling off asking for units 2 and 5 (5 is not in use here): one information report.
    COppositeEngine::TReaction off = Handle(engine, Code::kPollingSetting, PollingData(4, {{2, 2}, {5, 2}}));
    ASSERT_EQ(off.frames.size(), 3u);
    EXPECT_EQ(off.frames[0], Frame(Code::kPollingSettingResponse, {0}));
    EXPECT_EQ(ReportOf(off.frames[1])[0], 4);
    EXPECT_EQ(ReportOf(off.frames[1])[1], 2);
    EXPECT_EQ(off.frames[2], notice);

    // Polling on without information wanted: the answer alone.
    EXPECT_EQ(Handle(engine, Code::kPollingSetting, PollingData(4, {{1, 1}})).frames,
              std::vector<TBytes>{Frame(Code::kPollingSettingResponse, {0})});

    options.autoStopNotice = false;
    engine.SetOptions(options);
    EXPECT_EQ(Handle(engine, Code::kPollingSetting, PollingData(0, {})).frames,
              std::vector<TBytes>{Frame(Code::kPollingSettingResponse, {0})});
}

TEST(OppositeEngine, InformationReports) {
    COppositeEngine engine(3);
    UseOnly(engine, {1, 7});
    const COppositeEngine::TFrames frames = engine.InformationCycle();
    ASSERT_EQ(frames.size(), 2u);
    for (size_t i = 0; i < frames.size(); ++i) {
        const TBytes report = ReportOf(frames[i]);
        ASSERT_EQ(report.size(), 22u);
        EXPECT_EQ(report[0], 4);
        EXPECT_EQ(report[1], i == 0 ? 1 : 7);
        EXPECT_LT(report[2], 4);
        TUnitInformation information;
        ASSERT_TRUE(DecodeUnitInformation(report.data(), report.size(), information));
        const std::string version = information.Version();
        ASSERT_EQ(version.size(), 4u);
        EXPECT_TRUE(isdigit(version[0]) && version[1] == '.' && isdigit(version[2]) && isdigit(version[3]))
            << version;
        EXPECT_EQ(TBytes(report.begin() + 7, report.begin() + 18), TBytes(11, 0));
        EXPECT_EQ(TBytes(report.begin() + 18, report.end()), (TBytes{0x00, 0x00, 0x80, 0x3F}));
        EXPECT_EQ(information.Gain(), 1.0);
    }
    UseOnly(engine, {});
    EXPECT_TRUE(engine.InformationCycle().empty());
}

TEST(OppositeEngine, ReportBytesForAGivenSeed) {
    // Per unit and cycle: the failure draw, then the battery draw.
    std::mt19937 reference(7);
    COppositeEngine engine(7);
    UseOnly(engine, {5}, 800, 0x123456);
    for (uint8_t sequence = 0; sequence < 3; ++sequence) {
        reference();
        const auto battery = static_cast<uint8_t>(reference() % 4);
        const TBytes expected =
            Frame(Code::kDataReceivedEvent, {0, 0, 3, 5, battery, 1, sequence, 0x0C, 0x80, 0x12, 0x34, 0x56});
        EXPECT_EQ(engine.MeasurementCycle(), std::vector<TBytes>{expected}) << int{sequence};
    }
    EXPECT_EQ(engine.GlobalCounter(), 3u);
}

TEST(OppositeEngine, RawValuesSurviveTheReport) {
    const std::pair<int32_t, int32_t> values[] = {
        {0, 0}, {800, 0x123456}, {-1, -1}, {8191, 8388607}, {-8192, -8388608}, {-800, -0x10000},
    };
    for (auto [sensor, count] : values) {
        COppositeEngine engine;
        UseOnly(engine, {1}, sensor, count);
        const TReport report = Decode(engine.MeasurementCycle().at(0));
        EXPECT_EQ(report.sensors, std::vector<int32_t>{sensor});
        EXPECT_EQ(report.counts, std::vector<int32_t>{count});
    }
}

TEST(OppositeEngine, JitterStaysInItsRangeAndNeverWraps) {
    COppositeEngine engine(11);
    UseOnly(engine, {1, 2});
    engine.Units().Unit(1).jitter = 3;
    engine.Units().Unit(2) = TOppositeUnit{true, 8190, 0, 50, 0};
    std::set<int32_t> seen;
    for (int cycle = 0; cycle < 500; ++cycle) {
        const COppositeEngine::TFrames frames = engine.MeasurementCycle();
        seen.insert(Decode(frames.at(0)).sensors.at(0));
        const int32_t edge = Decode(frames.at(1)).sensors.at(0);
        EXPECT_GE(edge, 8190 - 51);
        EXPECT_LE(edge, 8191);
    }
    // sensor + r - e - 1 with r in 0..2e.
    EXPECT_EQ(seen, (std::set<int32_t>{-4, -3, -2, -1, 0, 1, 2}));
}

TEST(OppositeEngine, FailureRate) {
    COppositeEngine engine(5);
    UseOnly(engine, {1, 2, 3});
    engine.Units().Unit(2).failureRate = 100;
    engine.Units().Unit(3).failureRate = 50;
    int heard[4] = {};
    const int cycles = 2000;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        for (const TBytes& frame : engine.MeasurementCycle()) ++heard[Decode(frame).unit];
    }
    EXPECT_EQ(heard[1], cycles);
    EXPECT_EQ(heard[2], 0);  // 100 percent: never heard
    EXPECT_GT(heard[3], 900);
    EXPECT_LT(heard[3], 1100);
}

// Unit 1 reports the record index k as k degC, so every sample shows which index it carries.
std::shared_ptr<CMeasurementDataManager> IndexStore(uint32_t records) {
    auto store = std::make_shared<CMeasurementDataManager>();
    for (uint32_t k = 0; k < records; ++k)
        CMeasurementDataManager::SetReading(store->Channel(1), k, static_cast<int16_t>(k * 10));
    store->SetRecordCount(records);
    return store;
}

std::vector<int32_t> IndexesOf(const TReport& report) {
    std::vector<int32_t> indexes;
    for (int32_t sensor : report.sensors) indexes.push_back(sensor / 32);
    return indexes;
}

struct TCatchUpCase {
    const char* name;
    int missed;
    std::vector<TReport> expected;  // the reports of the following cycles (unit, sequence, indexes)
};

TEST(OppositeEngine, MissedCyclesAreCaughtUpOldestFirst) {
    const TCatchUpCase cases[] = {
        {"2 missed: 3 samples", 2, {{1, 0, {0, 1, 2}, {}}, {1, 3, {3}, {}}}},
        {"5 missed: 4 now, the rest next",
         5,
         {{1, 0, {0, 1, 2, 3}, {}}, {1, 4, {4, 5, 6}, {}}, {1, 7, {7}, {}}}},
        {"9 missed: still caught up", 9, {{1, 0, {0, 1, 2, 3}, {}}, {1, 4, {4, 5, 6, 7}, {}}}},
        {"10 missed: starts again now", 10, {{1, 10, {10}, {}}, {1, 11, {11}, {}}}},
    };
    for (const TCatchUpCase& c : cases) {
        COppositeEngine engine;
        UseOnly(engine, {1});
        ASSERT_TRUE(engine.SetReplay(IndexStore(50)));
        engine.Units().Unit(1).use = false;
        for (int i = 0; i < c.missed; ++i) engine.MeasurementCycle();
        engine.Units().Unit(1).use = true;
        for (const TReport& expected : c.expected) {
            const TReport report = Decode(engine.MeasurementCycle().at(0));
            EXPECT_EQ(report.sequence, expected.sequence) << c.name;
            EXPECT_EQ(IndexesOf(report), expected.sensors) << c.name;
        }
    }
}

TEST(OppositeEngine, CaughtUpReportsFillTheReceiversRecords) {
    COppositeEngine engine;
    UseOnly(engine, {1});
    ASSERT_TRUE(engine.SetReplay(IndexStore(50)));
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);
    setup.pollingSetting.SetUnitCode(1, 1);
    CMeasurementDataManager receiver;
    receiver.Start(setup);

    // A cycle is a period of the receiver's record clock.
    engine.Units().Unit(1).use = false;
    for (int i = 0; i < 6; ++i) {
        engine.MeasurementCycle();
        receiver.AdvanceTick();
    }
    engine.Units().Unit(1).use = true;
    for (int i = 0; i < 3; ++i) {
        const TBytes report = ReportOf(engine.MeasurementCycle().at(0));
        ASSERT_TRUE(StoreMeasurementReport(receiver, report)) << i;
        receiver.AdvanceTick();
    }
    for (uint32_t k = 0; k < 9; ++k)
        EXPECT_EQ(CMeasurementDataManager::GetReading(receiver.Channel(1), k), static_cast<int16_t>(k * 10))
            << k;
}

TEST(OppositeEngine, ReplayRepeatsTheRecordsAndStartsAtTheCurrentCycle) {
    COppositeEngine engine;
    UseOnly(engine, {1}, 1234);
    EXPECT_FALSE(engine.SetReplay(std::make_shared<CMeasurementDataManager>()));
    EXPECT_FALSE(engine.IsReplaying());
    EXPECT_EQ(Decode(engine.MeasurementCycle().at(0)).sensors, std::vector<int32_t>{1234});
    engine.MeasurementCycle();

    ASSERT_TRUE(engine.SetReplay(IndexStore(3)));
    std::vector<int32_t> indexes;
    for (int i = 0; i < 4; ++i) {
        const TReport report = Decode(engine.MeasurementCycle().at(0));
        EXPECT_EQ(report.sequence, 2 + i);
        indexes.push_back(IndexesOf(report).at(0));
    }
    EXPECT_EQ(indexes, (std::vector<int32_t>{2, 0, 1, 2}));
    ASSERT_TRUE(engine.SetReplay(nullptr));
    EXPECT_EQ(Decode(engine.MeasurementCycle().at(0)).sensors, std::vector<int32_t>{1234});
}

struct TReplayCase {
    const char* name;
    int16_t reading;
    uint32_t unit;
    int32_t type;
    TSampleValue expected;
    double celsius;  // what a channel of the type decodes; NAN: Out Of Range
};

TEST(ReplaySample, ReadingsBecomeRawValuesTheReceiverDecodesBack) {
    const TReplayCase cases[] = {
        {"25.0 degC", 250, 0, kThermocoupleK, {800, 0}, 25.0},
        {"25.0 degC on type T, the same cold junction", 250, 0, kThermocoupleT, {800, 0}, 25.0},
        {"-12.3 degC truncates toward zero", -123, 0, kThermocoupleK, {-393, 0}, -393 / 32.0},
        {"212.0 degF is 100 degC", 2120, 1, kThermocoupleJ, {3200, 0}, 100.0},
        {"255.9 degC still fits the cold junction", 2559, 0, kThermocoupleK, {8188, 0}, 8188 / 32.0},
        {"500.0 degC goes through the type K count", 5000, 0, kThermocoupleK, {0, 2705850}, 500.0},
        // 12.209, 14.862 and 16.327 mV in the reference tables, 2^-17 mV per count.
        {"300.0 degC as a type K count", 3000, 0, kThermocoupleK, {0, 1600258}, 300.0},
        {"300.0 degC as a type T count", 3000, 0, kThermocoupleT, {0, 1947992}, 300.0},
        {"300.0 degC as a type J count", 3000, 0, kThermocoupleJ, {0, 2140013}, 300.0},
        {"500.0 degC is beyond the type T table", 5000, 0, kThermocoupleT, {0, kCountMax}, NAN},
        {"2400.0 degF is beyond the type K table", 24000, 1, kThermocoupleK, {0, kCountMax}, NAN},
        {"an unknown type has no count", 3000, 0, 4, {0, kCountMax}, NAN},
        {"Lost", kReadingLost, 0, kThermocoupleK, {0, kCountMax}, NAN},
        {"Out Of Range", kReadingOutOfRange, 0, kThermocoupleK, {0, kCountMax}, NAN},
    };
    for (const TReplayCase& c : cases) {
        const TSampleValue value = ReplaySample(c.reading, c.unit, c.type);
        EXPECT_EQ(value.sensor, c.expected.sensor) << c.name;
        EXPECT_EQ(value.thermocouple, c.expected.thermocouple) << c.name;
        double celsius = 0;
        const bool ok =
            ThermocoupleToTemperature(c.type, value.sensor / 32.0, value.thermocouple, 0, 1.0, celsius);
        EXPECT_EQ(ok, !std::isnan(c.celsius)) << c.name;
        if (ok) {
            EXPECT_NEAR(celsius, c.celsius, 0.01) << c.name;
        }
    }
}

}  // namespace
