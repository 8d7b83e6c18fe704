#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/ReportBuilder.h"
#include "data/StoreMeasurementReport.h"

namespace {

using data_test::MeasurementReport;
using data_test::TSample;

// Position p is sent as (p mod 512) / 2 degC, so a reading filed 256 records away shows.
TSample SampleOf(int64_t position) {
    return TSample{static_cast<uint16_t>((position % 512) * 16 * 4), 0};
}
int16_t ReadingOf(int64_t position) {
    return static_cast<int16_t>((position % 512) * 5);
}

constexpr int64_t kSilent = -1;
// A unit's numbering: the position of its newest sample at a tick of the record clock, or kSilent.
using TCourse = std::function<int64_t(int64_t tick)>;

struct TUnitCase {
    int unit;
    TCourse course;
    // Positions from this one on may be dropped, never misfiled; -1: nothing is dropped.
    int64_t droppedFrom = -1;
};

struct TDriftCase {
    const char* name;
    int64_t ticks;
    std::vector<TUnitCase> units;
    // Reports made in [stallFrom, stallTo) arrive together when the stall ends.
    int64_t stallFrom = 0;
    int64_t stallTo = 0;
};

// A unit sends its samples oldest first, at most four a report, and starts again at its current
// position when it is more than ten behind, as the units and the counterpart do.
class CUnit {
public:
    CUnit(int unit, TCourse course) : m_unit(unit), m_course(std::move(course)) {}
    // The report of this tick, if any.
    std::vector<uint8_t> Report(int64_t tick) {
        const int64_t position = m_course(tick);
        if (position == kSilent || position < m_next)
            return {};
        if (position - m_next > 10)
            m_next = position;
        std::vector<TSample> samples;
        const int64_t first = m_next;
        for (; m_next <= position && samples.size() < 4; ++m_next) {
            samples.push_back(SampleOf(m_next));
            m_sent.push_back(m_next);
        }
        return MeasurementReport(m_unit, static_cast<uint8_t>(first), samples);
    }
    int Unit() const { return m_unit; }
    const std::vector<int64_t>& Sent() const { return m_sent; }

private:
    int m_unit;
    TCourse m_course;
    int64_t m_next = 0;
    std::vector<int64_t> m_sent;
};

class CDriftRun {
public:
    explicit CDriftRun(const TDriftCase& c) : m_case(c) {
        TMeasurementSetup setup = data_test::ThreeChannelSetup(1);
        m_store.Start(setup);
        for (const TUnitCase& u : c.units) m_units.emplace_back(u.unit, u.course);
    }

    void Run() {
        std::deque<std::vector<uint8_t>> delayed;
        for (int64_t tick = 0; tick < m_case.ticks; ++tick) {
            const bool stalled = tick >= m_case.stallFrom && tick < m_case.stallTo;
            for (CUnit& unit : m_units) {
                std::vector<uint8_t> report = unit.Report(tick);
                if (!report.empty())
                    delayed.push_back(std::move(report));
            }
            for (; !stalled && !delayed.empty(); delayed.pop_front()) StoreMeasurementReport(m_store, delayed.front());
            m_store.AdvanceTick();
        }
    }

    // Every stored reading at its own record; every sample sent stored unless it may be dropped.
    void Check() const {
        uint64_t mayDrop = 0;
        for (size_t i = 0; i < m_units.size(); ++i) {
            const CUnit& unit = m_units[i];
            const CMeasurementDataManager::CChannel& channel = m_store.Channel(unit.Unit());
            bool wrapped = false;
            for (size_t record = 0; record < channel.ReadingCount(); ++record) {
                const int16_t reading = CMeasurementDataManager::GetReading(channel, record);
                if (reading != kReadingLost) {
                    ASSERT_EQ(reading, ReadingOf(static_cast<int64_t>(record)))
                        << m_case.name << ": unit " << unit.Unit() << " record " << record;
                }
            }
            const int64_t droppedFrom = m_case.units[i].droppedFrom;
            for (int64_t position : unit.Sent()) {
                wrapped = wrapped || position >= 256;
                const int16_t stored =
                    CMeasurementDataManager::GetReading(channel, static_cast<uint32_t>(position));
                if (droppedFrom >= 0 && position >= droppedFrom) {
                    ++mayDrop;
                    continue;
                }
                EXPECT_EQ(stored, ReadingOf(position))
                    << m_case.name << ": unit " << unit.Unit() << " position " << position;
            }
            EXPECT_TRUE(wrapped) << m_case.name << ": unit " << unit.Unit() << " never passed 255 -> 0";
        }
        EXPECT_LE(m_store.DroppedSamples(), mayDrop) << m_case.name;
        if (mayDrop > 0) {
            EXPECT_GT(m_store.DroppedSamples(), 0u) << m_case.name;
        }
    }

private:
    const TDriftCase& m_case;
    CMeasurementDataManager m_store;
    std::vector<CUnit> m_units;
};

int64_t InStep(int64_t tick) {
    return tick;
}

TEST(SequenceUnwrapper, EachUnitIsPlacedByItsOwnNumbering) {
    const TDriftCase cases[] = {
        {"falls 250 behind the clock",
         1100,
         {{1, InStep}, {2, [](int64_t t) { return t - std::min<int64_t>(250, t / 3); }}}},
        {"falls 300 behind the clock",
         1300,
         {{1, InStep}, {2, [](int64_t t) { return t - std::min<int64_t>(300, t / 3); }}}},
        {"runs 45 ahead of the clock",
         700,
         {{1, InStep}, {2, [](int64_t t) { return t + std::min<int64_t>(45, t / 3); }}}},
        {"jumps 45 ahead", 700, {{1, InStep}, {2, [](int64_t t) { return t < 100 ? t : t + 45; }}}},
        {"silent for 300 records, back on the clock",
         900,
         {{1, InStep}, {2, [](int64_t t) { return t >= 200 && t < 500 ? kSilent : t; }}}},
        {"silent for 300 records, back 100 behind the clock",
         900,
         {{1, InStep}, {2, [](int64_t t) { return t < 200   ? t
                                                  : t < 500 ? kSilent
                                                            : t - 100; }}}},
        {"250 behind, silent for 300 records, back as far behind",
         1500,
         {{1, InStep},
          {2,
           [](int64_t t) {
               return t < 900 ? t - std::min<int64_t>(250, t / 3) : t < 1200 ? kSilent : t - 250;
           },
           950}}},
        {"silent for 300 records, back 150 off its pace",
         900,
         {{1, InStep}, {2, [](int64_t t) { return t < 200   ? t
                                                  : t < 500 ? kSilent
                                                            : t - 150; }, 350}}},
        {"drifting apart in opposite directions",
         1300,
         {{1, InStep}, {2, [](int64_t t) { return t + t / 4; }}, {3, [](int64_t t) { return t - t / 4; }}}},
        {"receive stalled for 150 records",
         700,
         {{1, InStep}, {2, InStep}, {3, [](int64_t t) { return t - std::min<int64_t>(100, t / 3); }}},
         300,
         450},
    };
    for (const TDriftCase& c : cases) {
        CDriftRun run(c);
        run.Run();
        run.Check();
    }
}

}  // namespace
