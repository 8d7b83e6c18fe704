#include "files/OffsetFile.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "data/Thermocouple.h"
#include "files/AtomicFileWriter.h"
#include "files/FileReader.h"
#include "files/TraceLogger.h"
#include "support/ErrorText.h"
#include "support/NumberText.h"
#include "support/TextCodec.h"
#include "support/TextLines.h"
#include "support/VekException.h"

namespace VEK {

namespace {

constexpr std::string_view kHeader = "Brisquent Offset Data";
constexpr std::string_view kHeaderLine = "Brisquent Offset Data,1.00";
constexpr std::string_view kCommentKey = "COMMENT,";
constexpr std::string_view kUse = "Use";
constexpr std::string_view kNoUse = "NoUse";
constexpr double kCountsPerMillivolt = 131072.0;  // 2^17
// Far more than 102 lines can take; a bigger file is not an offset file.
constexpr uint64_t kMaxFileBytes = uint64_t{1} << 20;

void WriteLine(IWriter& writer, std::string line) {
    line += "\r\n";
    writer.Write(line.data(), line.size());
}

// The comment stays on its line.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

// Comma-separated fields, padded to three.
std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (size_t comma; (comma = line.find(',', start)) != std::string_view::npos; start = comma + 1)
        fields.push_back(line.substr(start, comma - start));
    fields.push_back(line.substr(start));
    while (fields.size() < 3) fields.emplace_back();
    return fields;
}

// The counts of a value field in millivolts, rounded to the nearest count: the twelve digits written
// hold every 24-bit count within half a count. Nothing for anything but a finite number within the
// converter's range.
std::optional<double> ParseMillivolts(std::string_view field) {
    const std::optional<double> millivolts = ParseWholeDouble(field);
    if (!millivolts || !std::isfinite(*millivolts))
        return std::nullopt;
    const double counts = std::round(*millivolts * kCountsPerMillivolt);
    if (counts < kCountMin || counts > kCountMax)
        return std::nullopt;
    return counts + 0.0;  // no negative zero
}

std::optional<std::string> ReadAll(IReader& reader) {
    const uint64_t size = reader.Size();
    if (size > kMaxFileBytes)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t got = reader.ReadAt(done, bytes.data() + done, bytes.size() - done);
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace

std::string FormatOffsetMillivolts(double counts) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, counts / kCountsPerMillivolt,
                                         std::chars_format::scientific, 11);
    if (ec != std::errc())
        return {};
    std::string text(buffer, end);
    // to_chars writes at least two exponent digits; files so far carry three.
    const size_t e = text.find('e');
    if (e != std::string::npos && text.size() - (e + 2) < 3)
        text.insert(e + 2, 3 - (text.size() - (e + 2)), '0');
    return text;
}

bool WriteOffsetFile(const TOffsetTable& table, IWriter& writer) {
    try {
        WriteLine(writer, std::string(kHeaderLine));
        WriteLine(writer, std::string(kCommentKey) + OneLine(table.comment));
        for (int channel = 1; channel <= TOffsetTable::kChannels; ++channel) {
            const TOffsetEntry& entry = table.entries[channel];
            std::string line = std::to_string(channel);
            line += ',';
            line += entry.inUse ? kUse : kNoUse;
            line += ',';
            if (entry.HasValue())
                line += FormatOffsetMillivolts(entry.offset);
            WriteLine(writer, std::move(line));
        }
        return true;
    } catch (const CIoFailureException&) {
        return false;
    }
}

bool SaveOffsetFile(TOffsetTable& table, const std::string& path) {
    CAtomicFileWriter writer(path);
    if (!writer.Open() || !WriteOffsetFile(table, writer) || !writer.Commit()) {
        TraceLogger().Trace("オフセットファイル[%s]の保存に失敗しました(%s)。", path.c_str(),
                            ErrorText(writer.Error()).c_str());
        return false;
    }
    TraceLogger().Trace("オフセットファイル[%s]を保存しました。", path.c_str());
    table.path = path;
    table.modified = false;
    return true;
}

bool ReadOffsetFile(TOffsetTable& table, IReader& reader) {
    std::optional<std::string> bytes;
    try {
        bytes = ReadAll(reader);
    } catch (const CIoFailureException&) {
        return false;
    }
    if (!bytes)
        return false;
    const std::string text = DecodeTextBytes(*bytes);
    const std::vector<std::string_view> lines = SplitTextLines(text, true);
    if (lines.empty() || SplitFields(lines[0])[0] != kHeader)
        return false;
    TOffsetTable read;
    if (lines.size() > 1) {
        const size_t comma = lines[1].find(',');
        if (comma != std::string_view::npos)
            read.comment = std::string(lines[1].substr(comma + 1));
    }
    for (size_t i = 2; i < lines.size(); ++i) {
        const std::vector<std::string_view> fields = SplitFields(lines[i]);
        const int64_t channel = ParseLeadingDecimal(fields[0]);
        if (channel < 1 || channel > TOffsetTable::kChannels)
            continue;
        TOffsetEntry entry;
        entry.inUse = !fields[1].empty() && fields[1][0] == 'U';
        if (!fields[2].empty()) {
            const std::optional<double> counts = ParseMillivolts(fields[2]);
            if (!counts)
                return false;
            entry.offset = *counts;
            entry.hasData = true;
        }
        read.entries[channel] = entry;
    }
    read.path = reader.Path();
    read.modified = false;
    table = std::move(read);
    return true;
}

bool LoadOffsetFile(TOffsetTable& table, const std::string& path) {
    CFileReader reader(path);
    if (!reader.Open()) {
        TraceLogger().Trace("ファイル[%s]のオープンに失敗しました。", path.c_str());
        return false;
    }
    if (!ReadOffsetFile(table, reader)) {
        TraceLogger().Trace(
            "オフセットファイル[%s]の読み込みに失敗しました(オフセットファイルではないか、値が不正です)。",
            path.c_str());
        return false;
    }
    TraceLogger().Trace("オフセットファイル[%s]を読み込みました。", path.c_str());
    return true;
}

}  // namespace VEK
