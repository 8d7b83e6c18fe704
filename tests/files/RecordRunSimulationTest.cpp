// Runs of 100,000 records with simulated units through the real record store, working file and
// data file, without real time: units running fast and slow, restarting their numbering, silent
// for long; the link stalling, delivering reports late, twice and out of order. After each run:
// every sample a unit sent lies at its own record (the period it was made in; give or take the
// clock's slack for a unit whose clock drifts) or is counted as dropped, none at another record;
// the working file and the rows passed on while measuring equal the saved data file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/ReportBuilder.h"  // tests/data
#include "data/SamplingRate.h"
#include "data/StoreMeasurementReport.h"
#include "files/DataFile.h"
#include "files/DataFileReader.h"
#include "files/FileReader.h"
#include "files/WorkingFile.h"
#include "support/TestHome.h"

namespace {

using CStore = CMeasurementDataManager;
constexpr int64_t kMicro = 1000000;  // times in millionths of a sampling period

// Sample serial s of a unit carries (s mod 500) / 2 degC: neighbours differ, a misfile shows.
int16_t ValueOf(int64_t serial) {
    return static_cast<int16_t>((serial % 500) * 5);
}

struct TUnitPlan {
    int unit = 1;
    int64_t intervalMicro = kMicro;  // between two samples: kMicro / rate
    int64_t phaseMicro = 300000;     // the first sample within period 0
    int failurePercent = 0;
    // Periods [from, to) in which the unit is out of reach: it measures, nothing reaches the dongle.
    std::vector<std::pair<int64_t, int64_t>> silences{};
    // Periods at which the unit numbers afresh from 0 (a battery change), at the phase given.
    std::vector<std::pair<int64_t, int64_t>> restarts{};
    uint8_t firstNumber = 0;
};

struct TLateReport {
    int unit;
    int64_t period;  // the report made then...
    int64_t late;    // ...arrives this many periods later
};

struct TScenario {
    const char* name;
    int64_t periods;
    std::vector<TUnitPlan> units;
    std::vector<std::pair<int64_t, int64_t>> stalls{};  // the link holds reports of [from, to) until to
    std::vector<TLateReport> lateReports{};
    bool duplicates = false;     // every report arrives twice
    bool reorderAtWrap = false;  // reports numbered around 255 -> 0 arrive after their successor
    uint32_t runLength = 0;      // --records N
    uint32_t endTicks = 12;      // ticks past the run length at most before the run ends
    uint8_t rateCode = 4;        // 1sec
    bool expectNoDrops = false;  // nothing may be dropped (units in step with the clock)
};

void PrintTo(const TScenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

struct TSent {
    int64_t serial;
    int64_t ownRecord;
};

// One unit as the units and the simulator behave: a sample every interval, reports of the pending
// samples oldest first, at most four, and only the newest when more than ten wait.
class CUnitModel {
public:
    CUnitModel(const TUnitPlan& plan, uint32_t seed)
        : m_plan(plan), m_random(seed), m_number(plan.firstNumber) {
        m_nextTime = plan.phaseMicro;
    }

    // The report of a period, if the unit sends one; samples[] get what it carried.
    std::vector<uint8_t> Period(int64_t period, std::vector<TSent>& carried) {
        for (const auto& [at, phase] : m_plan.restarts) {
            if (at == period) {
                m_pending.clear();
                m_number = 0;
                m_nextTime = std::max(m_nextTime, at * kMicro + phase);
            }
        }
        for (; m_nextTime < (period + 1) * kMicro; m_nextTime += m_plan.intervalMicro)
            m_pending.push_back(TPending{m_serial++, m_number++, m_nextTime / kMicro});
        const bool silent = std::any_of(m_plan.silences.begin(), m_plan.silences.end(), [&](const auto& s) {
            return period >= s.first && period < s.second;
        });
        const bool failed = static_cast<int>(m_random() % 100) < m_plan.failurePercent;
        if (m_pending.empty() || silent || failed)
            return {};
        if (m_pending.size() > 10)
            m_pending.erase(m_pending.begin(), m_pending.end() - 1);
        std::vector<data_test::TSample> samples;
        const uint8_t first = m_pending.front().number;
        while (!m_pending.empty() && samples.size() < 4) {
            const TPending& p = m_pending.front();
            samples.push_back(data_test::TSample{static_cast<uint16_t>((p.serial % 500) * 64), 0});
            carried.push_back(TSent{p.serial, p.ownRecord});
            m_pending.pop_front();
        }
        return data_test::MeasurementReport(m_plan.unit, first, samples);
    }
    const TUnitPlan& Plan() const { return m_plan; }

private:
    struct TPending {
        int64_t serial;
        uint8_t number;
        int64_t ownRecord;
    };
    TUnitPlan m_plan;
    std::mt19937 m_random;
    int64_t m_nextTime = 0;
    int64_t m_serial = 0;
    uint8_t m_number = 0;
    std::deque<TPending> m_pending;
};

class CRecordRun {
public:
    explicit CRecordRun(const TScenario& scenario) : m_scenario(scenario) {
        TMeasurementSetup setup;
        setup.pollingSetting.SetRateCode(scenario.rateCode);
        for (const TUnitPlan& plan : scenario.units) {
            setup.pollingSetting.SetInUse(plan.unit, true);
            m_units.emplace_back(plan, 1000u + static_cast<uint32_t>(plan.unit));
        }
        m_store.Start(setup);
        m_store.SetRunLength(scenario.runLength);
        m_store.SetStartTime({2024, 5, 0, 6, 7, 8, 9, 0});
    }

    void Run() {
        EXPECT_TRUE(m_working.Start(m_store, {}));
        for (m_period = 0; m_period < m_scenario.periods; ++m_period) {
            for (CUnitModel& unit : m_units) Send(unit);
            Deliver();
            m_store.AdvanceTick();
            PassOn(m_store.CompletedRecords());
            if (m_period % 10 == 9) {
                EXPECT_TRUE(m_working.Append(m_store, false));
            }
            if (m_store.RunLengthDone())
                break;
        }
        m_ticks = m_store.SequenceCounter();
        m_store.Stop();
        EXPECT_TRUE(m_working.Append(m_store, true));
        PassOn(m_store.RecordCount());
    }

    void Check() {
        const char* name = m_scenario.name;
        const uint32_t count = m_store.RecordCount();
        if (m_scenario.runLength != 0) {
            EXPECT_EQ(count, m_scenario.runLength) << name;
            EXPECT_LE(m_ticks, m_scenario.runLength + m_scenario.endTicks) << name;
        } else {
            EXPECT_LE(count, m_ticks) << name;
            EXPECT_GE(count + 1, m_ticks) << name;
        }
        CheckPlacement(count);
        CheckRowsPassedOn(count);
        CheckFiles(count);
        m_working.Delete();
    }

private:
    struct TDelivery {
        std::vector<uint8_t> bytes;
        size_t unitIndex;
        std::vector<TSent> carried;
    };

    void Send(CUnitModel& unit) {
        std::vector<TSent> carried;
        std::vector<uint8_t> report = unit.Period(m_period, carried);
        if (report.empty())
            return;
        const int unitNumber = unit.Plan().unit;
        // Key: period of arrival, then 0 for a stall's reports, 1 for the period's own, 2 for late ones.
        int64_t key = m_period * 3 + 1;
        for (const auto& [from, to] : m_scenario.stalls) {
            if (m_period >= from && m_period < to)
                key = to * 3;
        }
        for (const TLateReport& late : m_scenario.lateReports) {
            if (late.unit == unitNumber && late.period == m_period)
                key = (m_period + late.late) * 3 + 2;
        }
        const uint8_t number = report[4];
        if (m_scenario.reorderAtWrap && (number >= 253 || number <= 2) && m_period % 2 == 0)
            key = (m_period + 1) * 3 + 2;
        const size_t index = static_cast<size_t>(&unit - m_units.data());
        for (int copy = m_scenario.duplicates ? 2 : 1; copy > 0; --copy)
            m_queue.emplace(key, TDelivery{report, index, carried});
    }

    void Deliver() {
        const int64_t end = (m_period + 1) * 3;
        while (!m_queue.empty() && m_queue.begin()->first < end) {
            TDelivery& delivery = m_queue.begin()->second;
            StoreMeasurementReport(m_store, delivery.bytes);
            std::vector<TSent>& sent = m_sent[delivery.unitIndex];
            sent.insert(sent.end(), delivery.carried.begin(), delivery.carried.end());
            m_queue.erase(m_queue.begin());
        }
    }

    // What the broker would get now: the rows up to the store's completed count, as they are now.
    void PassOn(uint32_t upTo) {
        for (; m_passedOn.size() < upTo;) {
            std::vector<int16_t> row;
            for (const CUnitModel& unit : m_units)
                row.push_back(CStore::GetReading(m_store.Channel(unit.Plan().unit),
                                                 static_cast<uint32_t>(m_passedOn.size())));
            m_passedOn.push_back(row);
        }
    }

    void CheckPlacement(uint32_t count) {
        const char* name = m_scenario.name;
        uint64_t missing = 0;
        uint64_t misfiled = 0;
        for (size_t u = 0; u < m_units.size(); ++u) {
            const TUnitPlan& plan = m_units[u].Plan();
            // A unit whose clock drifts lies up to the clock's slack ahead of its record, or as far
            // behind as the store lets it lag before it is moved forward.
            const bool inStep = plan.intervalMicro == kMicro;
            const int64_t ahead = inStep ? 0 : CRecordPlacer::kSlack;
            const int64_t behind = inStep ? 0 : CRecordPlacer::kBehind + 1;
            const CStore::CChannel& channel = m_store.Channel(plan.unit);
            // Every stored reading belongs to a sample the unit sent, made within the tolerance.
            std::map<int64_t, std::vector<int64_t>> byValue;  // value -> own records of samples sent
            std::vector<TSent> sent = m_sent[u];
            std::sort(sent.begin(), sent.end(),
                      [](const TSent& a, const TSent& b) { return a.serial < b.serial; });
            sent.erase(std::unique(sent.begin(), sent.end(),
                                   [](const TSent& a, const TSent& b) { return a.serial == b.serial; }),
                       sent.end());
            for (const TSent& s : sent) byValue[ValueOf(s.serial)].push_back(s.ownRecord);
            for (uint32_t record = 0; record < count; ++record) {
                const int16_t reading = CStore::GetReading(channel, record);
                if (reading == kReadingLost)
                    continue;
                const auto& owners = byValue[reading];
                const bool own = std::any_of(owners.begin(), owners.end(), [&](int64_t r) {
                    return int64_t{record} >= r - behind && int64_t{record} <= r + ahead;
                });
                if (!own && ++misfiled <= 5) {
                    ADD_FAILURE() << name << ": unit " << plan.unit << " record " << record << " holds "
                                  << reading;
                }
            }
            // Every sample sent within the run is at its record, or missing.
            for (const TSent& s : sent) {
                if (s.ownRecord + ahead >= count)
                    continue;
                bool found = false;
                for (int64_t r = std::max<int64_t>(0, s.ownRecord - behind); r <= s.ownRecord + ahead; ++r)
                    found =
                        found || CStore::GetReading(channel, static_cast<uint32_t>(r)) == ValueOf(s.serial);
                if (!found && getenv("SIM_DEBUG") && missing < 20)
                    std::printf("missing unit %d serial %lld own %lld\n", plan.unit,
                                static_cast<long long>(s.serial), static_cast<long long>(s.ownRecord));
                missing += !found;
            }
        }
        EXPECT_EQ(misfiled, 0u) << name;
        EXPECT_LE(missing, m_store.DroppedSamples()) << name << ": samples missing without being counted";
        if (m_scenario.expectNoDrops) {
            EXPECT_EQ(missing, 0u) << name;
            EXPECT_EQ(m_store.DroppedSamples(), 0u) << name;
        }
        std::printf("%s: %u records, %llu samples missing, %llu dropped\n", name, count,
                    static_cast<unsigned long long>(missing),
                    static_cast<unsigned long long>(m_store.DroppedSamples()));
    }

    // The rows passed on while measuring are the rows the run kept.
    void CheckRowsPassedOn(uint32_t count) {
        ASSERT_EQ(m_passedOn.size(), count) << m_scenario.name;
        for (uint32_t record = 0; record < count; ++record) {
            for (size_t u = 0; u < m_units.size(); ++u) {
                ASSERT_EQ(m_passedOn[record][u],
                          CStore::GetReading(m_store.Channel(m_units[u].Plan().unit), record))
                    << m_scenario.name << ": record " << record << " unit " << m_units[u].Plan().unit
                    << " changed after it was passed on";
            }
        }
    }

    // The working file holds the saved data file's rows, record for record.
    void CheckFiles(uint32_t count) {
        const std::string saved = testing_support::TestHome() + "/saved.csv";
        ASSERT_TRUE(VEK::SaveDataFile(saved, m_store, {})) << m_scenario.name;
        CStore fromSaved;
        CStore fromWorking;
        VEK::TDataFileView view;
        VEK::CFileReader savedReader(saved);
        VEK::CFileReader workingReader(m_working.Path());
        ASSERT_TRUE(savedReader.Open() && workingReader.Open());
        ASSERT_TRUE(VEK::ReadDataFile101(savedReader, fromSaved, view));
        ASSERT_TRUE(VEK::ReadDataFile101(workingReader, fromWorking, view));
        // The data file begins at the first record with a reading.
        uint32_t first = 0;
        const auto anyReading = [&](uint32_t record) {
            return std::any_of(m_units.begin(), m_units.end(), [&](const CUnitModel& unit) {
                return CStore::GetReading(m_store.Channel(unit.Plan().unit), record) != kReadingLost;
            });
        };
        while (first < count && !anyReading(first)) ++first;
        for (uint32_t record = 0; record < count; ++record) {
            for (const CUnitModel& unit : m_units) {
                const int k = unit.Plan().unit;
                const int16_t inWorking = CStore::GetReading(fromWorking.Channel(k), record);
                const int16_t inSaved =
                    record < first ? kReadingLost : CStore::GetReading(fromSaved.Channel(k), record - first);
                ASSERT_EQ(inWorking, inSaved) << m_scenario.name << ": record " << record << " unit " << k;
            }
        }
    }

    const TScenario& m_scenario;
    CStore m_store;
    VEK::CWorkingFile m_working;
    std::vector<CUnitModel> m_units;
    std::multimap<int64_t, TDelivery> m_queue;
    std::map<size_t, std::vector<TSent>> m_sent;
    std::vector<std::vector<int16_t>> m_passedOn;
    int64_t m_period = 0;
    uint32_t m_ticks = 0;
};

// A unit whose clock runs at rate (1.01: one per cent fast).
TUnitPlan Unit(int unit, double rate = 1.0, int64_t phaseMicro = 300000) {
    TUnitPlan plan;
    plan.unit = unit;
    plan.intervalMicro = static_cast<int64_t>(kMicro / rate + 0.5);
    plan.phaseMicro = phaseMicro;
    return plan;
}

TUnitPlan WithFailures(TUnitPlan plan, int percent) {
    plan.failurePercent = percent;
    return plan;
}

TUnitPlan WithSilences(TUnitPlan plan, std::vector<std::pair<int64_t, int64_t>> silences) {
    plan.silences = std::move(silences);
    return plan;
}

TUnitPlan WithRestarts(TUnitPlan plan, std::vector<std::pair<int64_t, int64_t>> restarts) {
    plan.restarts = std::move(restarts);
    return plan;
}

constexpr int64_t kRecords = 100000;

class RecordRunSimulation : public ::testing::TestWithParam<TScenario> {};

TEST_P(RecordRunSimulation, EverySampleAtItsRecordAndEveryRowAsSaved) {
    testing_support::ResetTestHome();
    CRecordRun run(GetParam());
    run.Run();
    run.Check();
}

INSTANTIATE_TEST_SUITE_P(
    Units, RecordRunSimulation,
    ::testing::Values(
        TScenario{
            .name = "InStepWithFailuresAndDuplicates",
            .periods = kRecords,
            .units = {WithFailures(Unit(1), 30), WithFailures(Unit(2, 1.0, 999000), 75), Unit(3, 1.0, 0)},
            .duplicates = true,
            .expectNoDrops = true},
        TScenario{.name = "OnePerCentFastAndSlow",
                  .periods = kRecords,
                  .units = {Unit(1), Unit(2, 1.01), WithFailures(Unit(3, 0.99), 20)}},
        TScenario{.name = "DriftingApart",
                  .periods = kRecords,
                  .units = {Unit(1, 1.003, 100000), WithFailures(Unit(2, 0.997), 10), Unit(3, 1.02, 500000),
                            WithSilences(Unit(4, 0.98), {{40000, 41000}})}},
        TScenario{.name = "Restarts",
                  .periods = kRecords,
                  .units = {Unit(1),
                            WithRestarts(WithSilences(Unit(2), {{995, 1000}, {20040, 20077}, {70000, 70300}}),
                                         {{1000, 100000}, {5003, 700000}, {20077, 999999}, {70300, 10}}),
                            WithRestarts(Unit(3), {{7777, 300000}, {7900, 300000}, {64000, 50000}})}},
        TScenario{
            .name = "ReceiveStalls",
            .periods = kRecords,
            .units = {Unit(1), WithFailures(Unit(2, 1.0, 600000), 20), Unit(3, 1.0, 950000)},
            .stalls =
                {{2000, 2100}, {5000, 5216}, {9000, 9256}, {15000, 15300}, {30000, 30512}, {60000, 61000}},
            .expectNoDrops = true},
        TScenario{.name = "SingleReportsLate",
                  .periods = kRecords,
                  .units = {Unit(1), Unit(2), Unit(3)},
                  .lateReports = {{2, 1000, 12},
                                  {2, 3000, 20},
                                  {2, 5000, 130},
                                  {2, 7000, 150},
                                  {2, 9000, 192},
                                  {2, 11000, 193},
                                  {2, 13000, 200},
                                  {2, 15000, 215},
                                  {2, 17000, 216},
                                  {2, 19000, 240},
                                  {2, 21000, 250},
                                  {2, 23000, 254},
                                  {2, 25000, 300},
                                  {3, 27000, 5}}},
        TScenario{.name = "DuplicatesAndReorderingAcrossTheWrap",
                  .periods = kRecords,
                  .units = {Unit(1), WithFailures(Unit(2), 25), Unit(3, 1.0, 10000)},
                  .duplicates = true,
                  .reorderAtWrap = true,
                  .expectNoDrops = true},
        TScenario{.name = "LongSilences",
                  .periods = kRecords,
                  .units = {WithSilences(Unit(1), {{50000, 50300}}),
                            WithSilences(Unit(2), {{1000, 1300}, {10000, 11000}, {30000, 35000}}),
                            WithSilences(Unit(3, 1.01), {{20000, 40000}})}},
        TScenario{.name = "AllUnitsSilent",
                  .periods = 20000,
                  .units = {WithSilences(Unit(1), {{5000, 5300}}), WithSilences(Unit(2), {{5000, 5300}})}},
        TScenario{.name = "FourHundredRecordsWithAUnitFast",
                  .periods = 1000,
                  .units = {Unit(1), Unit(2, 1.05), WithFailures(Unit(3), 50)},
                  .runLength = 400},
        // No unit in reach after record 390, or none at all: the run of 400 records ends a minute
        // after its last record (the link might be stalled), with 400 records.
        TScenario{.name = "FourHundredRecordsWithTheUnitsGoneAtTheEnd",
                  .periods = 1000,
                  .units = {WithSilences(Unit(1), {{390, 1000}}), WithSilences(Unit(2, 1.01), {{390, 1000}})},
                  .runLength = 400,
                  .endTicks = 60},
        TScenario{.name = "FourHundredRecordsWithoutAnyUnit",
                  .periods = 1000,
                  .units = {WithSilences(Unit(1), {{0, 1000}}), WithSilences(Unit(2), {{0, 1000}})},
                  .runLength = 400,
                  .endTicks = 60},
        TScenario{.name = "TwelveHundredAt100msThroughAStall",
                  .periods = 5000,
                  .units = {Unit(1), Unit(2, 1.0, 800000), Unit(3, 1.0, 50000)},
                  .stalls = {{200, 500}},
                  .runLength = 1200,
                  .rateCode = 1,
                  .expectNoDrops = true}),
    [](const ::testing::TestParamInfo<TScenario>& info) { return std::string(info.param.name); });

}  // namespace
