#pragma once
// A graph on a record store, its timers on a clock the test drives.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "display/Graph.h"
#include "display/TestApplication.h"

namespace graph_test {

// The window's timers as the test sees them: which run, at what period; the test fires them.
class CDrivenTimers : public CGraph::IHost {
public:
    void StartTimer(int id, int periodMs) override {
        running[id] = periodMs;
        ++starts[id];
    }
    void StopTimer(int id) override { running.erase(id); }
    bool LeftButtonDown() const override { return leftButton; }
    bool Running(int id) const { return running.count(id) != 0; }
    int Period(int id) const { return Running(id) ? running.at(id) : -1; }

    std::map<int, int> running;
    std::map<int, int> starts;  // a start of a running timer restarts its period
    bool leftButton = false;
};

class GraphFixture : public ::testing::Test {
protected:
    GraphFixture() { EnsureTestApplication(); }

    // Channels in use, not measuring yet, at the rate.
    void Begin(uint32_t rateCode, std::vector<int> channels = {1}) {
        TMeasurementSetup setup;
        setup.pollingSetting.SetRateCode(static_cast<uint8_t>(rateCode));
        for (int channel : channels) setup.pollingSetting.SetInUse(channel, true);
        store.Start(setup);
        graph.SetSamplingInterval(rateCode);
    }
    void Fill(int channel, uint32_t first, const std::vector<int16_t>& tenths) {
        store.Channel(channel).FillReadings(first, tenths.data(), tenths.size());
        if (first + tenths.size() > store.RecordCount())
            store.SetRecordCount(static_cast<uint32_t>(first + tenths.size()));
    }
    // Finished data: channel 1 with records readings of 25.0 degrees (or the given value).
    void Finished(uint32_t records, uint32_t rateCode = 4, int16_t tenths = 250) {
        Begin(rateCode);
        Fill(1, 0, std::vector<int16_t>(records, tenths));
        store.Stop();
        graph.DataReplaced();
    }
    // A measurement with the run's record positions at ticks.
    void Measuring(uint32_t ticks, uint32_t rateCode = 4) {
        Begin(rateCode);
        graph.DataReplaced();
        for (uint32_t i = 0; i < ticks; ++i) store.AdvanceTick();
    }
    void Fire(int timer) {
        ASSERT_TRUE(timers.Running(timer)) << "timer " << timer;
        graph.OnTimer(timer);
    }
    // The area laid out and drawn: the resize and full redraw timers fired.
    void Draw(int width = 500, int height = 300) {
        graph.AreaResized(width, height);
        Fire(CGraph::kTimerResize);
        Fire(CGraph::kTimerFullRedraw);
    }
    QRgb Pixel(int x, int y) const { return graph.Picture().pixel(x, y); }

    CMeasurementDataManager store;
    CGraphChannelVisibility visibility;
    CDrivenTimers timers;
    CGraph graph{store, visibility, timers};
};

}  // namespace graph_test
