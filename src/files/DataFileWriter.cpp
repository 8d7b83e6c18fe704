#include "files/DataFileWriter.h"

#include <algorithm>
#include <string>
#include <vector>

#include "data/SamplingRate.h"
#include "files/CodeTables.h"
#include "files/DataFileText.h"
#include "files/DataRowWriter.h"
#include "support/VekException.h"

namespace VEK {
namespace {

// The first record at which a channel of the file holds anything but Lost; 0 when none does.
uint32_t FirstRecordWithReading(const CMeasurementDataManager& store, uint32_t channelCount, uint32_t count) {
    uint32_t first = count;
    std::vector<int16_t> readings(4096);
    for (uint32_t k = 1; k <= channelCount; ++k) {
        const auto& channel = store.Channel(static_cast<int>(k));
        if (!channel.InUse())
            continue;
        for (uint32_t block = 0; block < first;) {
            const size_t wanted = std::min<size_t>(readings.size(), first - block);
            const size_t copied = channel.CopyReadings(block, wanted, readings.data());
            const auto found =
                std::find_if(readings.begin(), readings.begin() + static_cast<ptrdiff_t>(copied),
                             [](int16_t v) { return v != kReadingLost; });
            if (found != readings.begin() + static_cast<ptrdiff_t>(copied)) {
                first = block + static_cast<uint32_t>(found - readings.begin());
                break;
            }
            if (copied < wanted)
                break;
            block += static_cast<uint32_t>(wanted);
        }
    }
    return first == count ? 0 : first;
}

// A comment must not break the line structure, nor move the comments after it a column on reading
// (the format has no quoting): line breaks go, a comma becomes a blank as in the comment dialog.
std::string CommentField(const std::string& comment) {
    std::string field = comment;
    field.erase(std::remove_if(field.begin(), field.end(), [](char c) { return c == '\r' || c == '\n'; }),
                field.end());
    std::replace(field.begin(), field.end(), ',', ' ');
    return field;
}

std::string HeaderLines(const CMeasurementDataManager& store, const TDataFileView& view, bool full,
                        uint32_t channelCount, uint32_t first, uint32_t count) {
    const uint32_t period = SamplingPeriodMilliseconds(store.SamplingRateCode());
    const uint64_t visibleFromFirst = view.firstVisibleRecord > first ? view.firstVisibleRecord - first : 0;
    const uint64_t timeOffset = uint64_t{period} * (visibleFromFirst + 5 * (view.samplesPerScreen / 10));
    const std::vector<uint32_t> adjusted = store.AdjustedChannels();

    std::string h;
    h += full ? "Brisquent,1.01\r\n" : "Brisquent-Working,1.01\r\n";
    h += "SYSTEM NUMBER," + std::to_string(store.SystemNumber()) + "\r\n";
    h += "SAMPLING RATE,";
    if (store.State() != CMeasurementDataManager::kStateEmpty)
        h += SamplingRateName(static_cast<int>(store.SamplingRateCode()));
    h += "\r\nTEMPERATURE UNIT," + TemperatureUnitName(store.TemperatureUnit()) + "\r\n";
    h += "TIME/DIV," + view.scales.timeDiv + "\r\n";
    h += "TEMP/DIV," + view.scales.tempDiv + "\r\n";
    h += "DATA COUNT," + std::to_string(full ? count - first : 0) + "\r\n";
    h += "TIME OFFSET," + FormatTimeOffset(timeOffset) + "\r\n";
    h += "TEMP OFFSET," + std::to_string(view.scales.tempOffset) + "\r\n";
    std::string types = ",,TYPE", onOff = ",,ON/OFF", adjust = ",,ADJUST OFFSET",
                heads = "No.,DATE  TIME,msec", comments = "USER COMMENT,,";
    for (uint32_t k = 1; k <= channelCount; ++k) {
        const auto& channel = store.Channel(static_cast<int>(k));
        types += "," + ThermocoupleTypeName(channel.ThermocoupleType());
        onOff += channel.InUse() ? ",ON" : ",OFF";
        adjust += std::find(adjusted.begin(), adjusted.end(), k) != adjusted.end() ? ",*" : ",";
        heads += ",CH" + std::to_string(k);
        comments += "," + CommentField(channel.Comment());
    }
    for (const std::string* line : {&types, &onOff, &adjust, &heads, &comments}) h += *line + "\r\n";
    return h;
}

}  // namespace

uint32_t FileChannelCount(const CMeasurementDataManager& store) {
    for (int k = ChannelsTakingPart(store.SamplingRateCode()); k >= 1; --k) {
        if (store.Channel(k).InUse())
            return static_cast<uint32_t>(k);
    }
    return 0;
}

bool WriteDataFile(IWriter& writer, const CMeasurementDataManager& store, const TDataFileView& view,
                   bool full, const FileProgress& progress) {
    const uint32_t channelCount = FileChannelCount(store);
    // One count for the header and the rows, should a late report still raise it.
    const uint32_t count = store.RecordCount();
    const uint32_t first = full ? FirstRecordWithReading(store, channelCount, count) : 0;
    try {
        const std::string header = HeaderLines(store, view, full, channelCount, first, count);
        writer.Write(header.data(), header.size());
        if (full)
            return CDataRowWriter(store, channelCount).WriteRows(writer, first, count, first, progress);
    } catch (const CIoFailureException&) {
        return false;
    }
    return true;
}

bool AppendWorkingRows(IWriter& writer, const CMeasurementDataManager& store, uint32_t channelCount,
                       uint32_t from, uint32_t upTo) {
    if (from >= upTo)
        return true;
    try {
        return CDataRowWriter(store, channelCount).WriteRows(writer, from, upTo, 0);
    } catch (const CIoFailureException&) {
        return false;
    }
    return true;
}

}  // namespace VEK
