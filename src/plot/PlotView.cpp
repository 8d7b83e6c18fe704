#include "plot/PlotView.h"

#include <algorithm>
#include <array>

#include "data/Reading.h"
#include "data/SamplingRate.h"
#include "display/GraphScaleNames.h"

namespace {

// Times per division for --fit: the window's table, then longer ones for runs of days and weeks.
constexpr std::array<uint32_t, 9> kLongDivisions{7200,   10800,  21600,  43200,  86400,
                                                 172800, 432000, 864000, 2592000};

std::string DivisionName(uint32_t seconds) {
    for (int32_t index = 1; index <= kTimeDivCount; ++index) {
        if (TimeDivSeconds(index) == seconds)
            return TimeDivName(index);
    }
    if (seconds % 86400 == 0)
        return std::to_string(seconds / 86400) + "day";
    if (seconds % 3600 == 0)
        return std::to_string(seconds / 3600) + "hour";
    return std::to_string(seconds) + "sec";
}

std::string Range(uint32_t first, uint32_t last) {
    return std::to_string(first) + " to " + std::to_string(last);
}

// "1-5,8" of the channels set.
std::string ChannelList(const std::bitset<101>& channels) {
    std::string text;
    for (int k = 1; k <= 100; ++k) {
        if (!channels.test(static_cast<size_t>(k)) || (k > 1 && channels.test(static_cast<size_t>(k - 1))))
            continue;
        int last = k;
        while (last < 100 && channels.test(static_cast<size_t>(last + 1))) ++last;
        text += (text.empty() ? "" : ",") + std::to_string(k) + (last > k ? "-" + std::to_string(last) : "");
    }
    return text.empty() ? "none" : text;
}

}  // namespace

uint32_t TPlotView::LastShown(uint32_t records) const {
    if (records == 0)
        return 0;
    return static_cast<uint32_t>(
        std::min<uint64_t>(records - 1, uint64_t{time.start} + time.ScreenRecords()));
}

void TPlotView::Fit(uint32_t records) {
    // The record at the right edge is drawn too: ten divisions show 10 × d + 1 records.
    const uint64_t needed = records > time.start + 1 ? records - time.start - 1 : 1;
    std::vector<uint32_t> seconds;
    for (int32_t index = 1; index <= kTimeDivCount; ++index) seconds.push_back(TimeDivSeconds(index));
    seconds.insert(seconds.end(), kLongDivisions.begin(), kLongDivisions.end());
    for (uint32_t s : seconds) {
        const uint64_t ms = uint64_t{s} * 1000;
        if (ms < time.samplingInterval || ms % time.samplingInterval != 0)
            continue;
        const uint64_t perDivision = ms / time.samplingInterval;
        if (perDivision * 10 >= needed) {
            time.samplesPerScreen = static_cast<uint32_t>(perDivision * 10);
            timeDivName = DivisionName(s);
            return;
        }
    }
    // Longer than the longest division: whole records per division, named by their time.
    const uint64_t perDivision = (needed + 9) / 10;
    time.samplesPerScreen = static_cast<uint32_t>(std::min<uint64_t>(perDivision * 10, UINT32_MAX / 10 * 10));
    timeDivName = DivisionName(static_cast<uint32_t>(perDivision * time.samplingInterval / 1000));
}

void TPlotView::FilesView(const TPlotOptions& options, const CMeasurementDataManager& store,
                          const VEK::TDataFileView& fileView) {
    const int32_t asked = TimeDivIndex(options.timeDiv.empty() ? fileView.scales.timeDiv : options.timeDiv);
    time.SetTimeDiv(asked);
    timeDivName = TimeDivName(time.timeDivIndex);
    if (!options.timeDiv.empty() && time.timeDivIndex != asked)
        notes.push_back("--time-div " + options.timeDiv +
                        " holds no whole number of records at this rate; drawn at " + timeDivName +
                        " a division");
    time.start = VEK::FirstVisibleRecord(fileView.timeOffsetMs, time.samplingInterval, time.samplesPerScreen);
    // A file's offset may lie past its records: the view stays on them, as the window keeps it.
    const uint32_t records = store.RecordCount();
    if (records == 0)
        time.start = 0;
    else if (time.start > records - 1)
        time.FollowRecord(records - 1);
}

bool TPlotView::Choose(const TPlotOptions& options, const CMeasurementDataManager& store,
                       const VEK::TDataFileView& fileView, TPlotView& view, std::string& error) {
    const uint32_t records = store.RecordCount();
    view.time.SetSamplingInterval(store.SamplingRateCode());
    if (options.start && *options.start >= records) {
        error = "--start " + std::to_string(*options.start) + " is past the file's records (" +
                (records == 0 ? std::string("it holds none") : Range(0, records - 1)) + ")";
        return false;
    }
    if (options.cursor && *options.cursor >= records) {
        error = "no record " + std::to_string(*options.cursor) + " in the file (" +
                (records == 0 ? std::string("it holds none") : "records " + Range(0, records - 1)) + ")";
        return false;
    }
    if (options.fit) {
        view.time.start = options.start.value_or(0);
        view.Fit(records);
    } else {
        view.FilesView(options, store, fileView);
        if (options.start) {
            view.time.start = *options.start;
        } else if (options.timeDiv.empty() && records > 0 &&
                   (view.time.start > 0 || view.LastShown(records) < records - 1)) {
            // A report shows the whole run unless the operator chose a view.
            const std::string filesView = "the file's view (" + view.timeDivName +
                                          " a division from record " + std::to_string(view.time.start) +
                                          ") shows records " +
                                          Range(view.time.start, view.LastShown(records));
            view.time.start = 0;
            view.Fit(records);
            view.notes.push_back(filesView + " of " + Range(0, records - 1) + "; drawing the whole run at " +
                                 view.timeDivName +
                                 " a division (--fit; --time-div or --start choose a view)");
        }
    }
    if (view.cursor = options.cursor;
        view.cursor && (*view.cursor < view.time.start || *view.cursor > view.LastShown(records))) {
        error = "the cursor's record " + std::to_string(*view.cursor) + " lies outside the records drawn (" +
                Range(view.time.start, view.LastShown(records)) + ")";
        return false;
    }
    std::bitset<101> inUse;
    for (int32_t channel : store.ChannelsInUse()) inUse.set(static_cast<size_t>(channel));
    view.channels = options.channels.value_or(inUse);
    if ((view.channels & ~inUse).any()) {
        error = "--channels " + ChannelList(view.channels & ~inUse) +
                ": not in the file (its channels: " + ChannelList(inUse) + ")";
        return false;
    }
    view.temperature.SetTempDiv(
        TempDivIndex(options.tempDiv.empty() ? fileView.scales.tempDiv : options.tempDiv));
    view.temperature.centre = fileView.scales.tempOffset;
    view.temperature.Clamp();
    view.NoteReadingsBeyondScale(store);
    return true;
}

void TPlotView::NoteReadingsBeyondScale(const CMeasurementDataManager& store) {
    const uint32_t records = store.RecordCount();
    if (records == 0)
        return;
    // From the channels' summaries: a few nodes, not the readings.
    TReadingExtremes drawn;
    for (int k = 1; k <= 100; ++k) {
        if (channels.test(static_cast<size_t>(k)))
            drawn.Widen(store.Channel(k).Extremes(time.start, size_t{LastShown(records)} + 1));
    }
    const TTemperatureRange range = temperature.Range();
    if (drawn.Empty() || (drawn.min >= range.bottom * 10 && drawn.max <= range.top * 10))
        return;
    notes.push_back("readings from " + FormatReading(drawn.min, false) + " to " +
                    FormatReading(drawn.max, false) + " reach beyond the drawn " +
                    std::to_string(range.bottom) + " to " + std::to_string(range.top) +
                    " degrees; --temp-div chooses a wider scale");
}
