#include "files/DataFileReader.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "files/CodeTables.h"
#include "files/DataFileText.h"
#include "files/LineChunks.h"
#include "support/NumberText.h"
#include "support/TextCodec.h"
#include "support/VekException.h"

namespace VEK {
namespace {

constexpr int kChannels = CMeasurementDataManager::kChannels;
constexpr size_t kHeaderFields = kChannels + 5;
constexpr int kAbsent = -1;
constexpr std::string_view kWorkingName = "Brisquent-Working";
// Far beyond any line the writer makes (a row of a hundred readings, a hundred long comments); a
// longer line is refused rather than held in memory, however long it goes on.
constexpr size_t kLongestLine = size_t{1} << 20;
// The fewest bytes a row takes beyond one per channel column and one per channel in use (a
// number, a comma, a short time and a line end), with room for files a spreadsheet wrote again.
constexpr uint64_t kLeastRowBytes = 5;

// Line numbers (from 0) of the header entries; kAbsent where a version has none.
struct TLayout {
    bool (*headerMatches)(std::string_view name, std::string_view version);
    int systemNumber, samplingRate, temperatureUnit, timeDiv, tempDiv, timeOffset, tempOffset, types, onOff,
        adjusted, comments, firstRow;
};

constexpr TLayout kLayout101 = {[](std::string_view name, std::string_view version) {
                                    return name.substr(0, 9) == "Brisquent" && version == "1.01";
                                },
                                1,
                                2,
                                3,
                                4,
                                5,
                                7,
                                8,
                                9,
                                10,
                                11,
                                13,
                                14};
constexpr TLayout kLayout100 = {
    [](std::string_view name, std::string_view version) { return name == "Brisquent" && version == "1.00"; },
    kAbsent,
    1,
    kAbsent,
    2,
    3,
    5,
    6,
    7,
    8,
    kAbsent,
    10,
    11};

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

uint16_t ParseMilliseconds(std::string_view text) {
    return static_cast<uint16_t>(std::clamp<int64_t>(ParseLeadingDecimal(text), 0, 999));
}

// Past the line end at pos: CR LF, CR or LF.
size_t NextLineStart(std::string_view text, size_t pos) {
    if (pos < text.size() && text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
        return pos + 2;
    return pos + 1;
}

// A header line's fields, padded with empty ones.
class CFields {
public:
    explicit CFields(std::string_view line) {
        size_t count = 0;
        for (size_t pos = 0; count < kHeaderFields; ++count) {
            const size_t comma = std::min(line.find(',', pos), line.size());
            m_fields[count] = line.substr(pos, comma - pos);
            if (comma == line.size())
                break;
            pos = comma + 1;
        }
    }
    std::string_view operator[](size_t i) const {
        return i < kHeaderFields ? m_fields[i] : std::string_view();
    }
    // Field k + 2 belongs to channel k.
    std::string_view Channel(int k) const { return (*this)[static_cast<size_t>(k) + 2]; }

private:
    std::array<std::string_view, kHeaderFields> m_fields{};
};

// Empties records and channels (not the types, rate, system number or unit, which the file sets
// when it has them), keeping the start time for a file without rows.
void EmptyStore(CMeasurementDataManager& store) {
    TMeasurementSetup setup;
    setup.systemNumber = store.SystemNumber();
    setup.pollingSetting.SetRateCode(static_cast<uint8_t>(store.SamplingRateCode()));
    setup.temperatureUnit = store.TemperatureUnit();
    for (int k = 1; k <= kChannels; ++k) setup.thermocoupleType[k] = store.Channel(k).ThermocoupleType();
    const CSystemTime start = store.StartTime();
    store.Reset(setup);
    store.SetStartTime(start);
}

// Collects the readings of a block of rows per channel and hands them to the store's series in one
// call each, so that the series lock is not taken per reading. Only the channels with readings
// take memory, as much as their rows need: a small file is read without a large buffer.
class CRowCollector {
public:
    // Rows come in file order.
    void BeginRow(uint32_t row, CMeasurementDataManager& store) {
        if (row - m_blockStart >= kBlock) {
            Flush(store);
            m_blockStart = row - row % kBlock;
        }
        m_slot = row - m_blockStart;
        m_row = row;
    }
    void Put(int channel, int16_t tenths) {
        std::vector<int16_t>& readings = m_readings[static_cast<size_t>(channel)];
        // The block's rows without a reading of this channel before this one are Lost.
        if (readings.size() <= m_slot)
            readings.resize(m_slot + 1, kReadingLost);
        readings[m_slot] = tenths;
        m_recordCount = m_row + 1;
    }
    void Flush(CMeasurementDataManager& store) {
        for (int k = 1; k <= kChannels; ++k) {
            std::vector<int16_t>& readings = m_readings[static_cast<size_t>(k)];
            if (readings.empty())
                continue;
            auto& channel = store.Channel(k);
            const auto end = m_blockStart + static_cast<uint32_t>(readings.size());
            // Grown once per block rather than per reading.
            if (channel.ReadingCount() < end)
                channel.ResizeReadings(end);
            channel.FillReadings(m_blockStart, readings.data(), readings.size());
            readings.clear();  // keeps its room for the next block
        }
    }
    uint32_t RecordCount() const { return m_recordCount; }

private:
    static constexpr uint32_t kBlock = 1024;
    // Per channel, the block's readings up to its last one.
    std::array<std::vector<int16_t>, kChannels + 1> m_readings;
    uint32_t m_blockStart = 0;
    uint32_t m_slot = 0;
    uint32_t m_row = 0;
    uint32_t m_recordCount = 0;
};

// Why a parse ended without a store.
enum class EParse { kDone, kNotThisVersion, kCancelled, kRefused };

class CDataFileParser {
public:
    CDataFileParser(IReader& reader, size_t chunkSize, CMeasurementDataManager& store, TDataFileView& view,
                    const TLayout& layout)
        : m_reader(reader), m_chunks(reader, chunkSize), m_store(store), m_view(view), m_layout(layout) {
        m_chunks.SetLongestLine(kLongestLine);
    }

    EParse Parse(const FileProgress& progress) {
        size_t pos = 0;
        std::vector<std::string> header = HeaderLines(pos);
        // Before the store is touched: a line too long to be any of the file's is never held.
        if (m_chunks.LineTooLong())
            return Refuse(header.size() + 1, "is longer than " + std::to_string(kLongestLine) + " bytes");
        if (header.empty())
            return EParse::kNotThisVersion;
        const CFields first(header[0]);
        if (!m_layout.headerMatches(first[0], first[1]))
            return EParse::kNotThisVersion;
        // Taken before the lines are converted below, which frees the text the fields view.
        const bool workingFile = first[0] == kWorkingName;
        // Files written by Windows installations carry their comments in CP932. Its trail bytes
        // are never commas, so whole lines are converted before they are split. The header holds
        // the file's text (rows are numbers), so it decides for the whole file.
        if (HeaderIsCp932(header)) {
            for (std::string& line : header) line = Cp932ToUtf8(line);
        }
        EmptyStore(m_store);
        m_view.skippedLines = 0;
        m_view.damagedRows = 0;
        m_view.problem.clear();
        m_view.workingFile = workingFile;
        for (size_t line = 1; line < header.size(); ++line)
            HeaderLine(static_cast<int>(line), CFields(header[line]));
        if (m_view.workingFile && m_layout.onOff < static_cast<int>(header.size())) {
            // ",,ON/OFF" and one field per channel of the file, as every row has after its time.
            const std::string_view onOff = header[static_cast<size_t>(m_layout.onOff)];
            m_rowCommas = static_cast<size_t>(std::count(onOff.begin(), onOff.end(), ','));
        }
        // Only lines with a record's number and time are records, so that blank or stray lines
        // never stretch the channels; and no more rows than the file's size can hold as rows of its
        // channels, so that short lines claiming to be rows cannot either: the records, in memory
        // and written out again, stay within a small factor of the file.
        CRowCollector rows;
        const uint64_t fileSize = m_reader.Size();
        const uint64_t mostRows = fileSize / RowBytesAtLeast() + 1;
        const uint64_t headerLines = header.size();
        uint32_t wholeRows = 0;  // rows up to the last whole one
        uint32_t row = 0;
        for (; !m_text.empty(); m_text = m_chunks.Next(), pos = 0) {
            while (pos < m_text.size()) {
                const uint64_t line = headerLines + m_view.skippedLines + row + 1;
                const bool record = StartsLikeRecord(pos);
                if (record && row >= mostRows)
                    return Refuse(line, "is one row more than a file of " + std::to_string(fileSize) +
                                            " bytes with these channels can hold");
                size_t end = 0;
                if (!record) {
                    ++m_view.skippedLines;
                    end = LineEnd(pos);
                } else if (m_view.workingFile && !IsWholeWorkingRow(pos, end = LineEnd(pos))) {
                    // A row the writer never wrote so: which field belongs to which channel is not
                    // known. It keeps its record (the later rows keep their times) without readings.
                    if (row == 0)
                        m_store.SetStartTime(FirstRowTime(pos, end));
                    ++m_view.damagedRows;
                    ++row;
                } else {
                    end = DataRow(pos, row++, rows);
                    wholeRows = row;
                }
                if (end - pos > kLongestLine)
                    return Refuse(line, "is longer than " + std::to_string(kLongestLine) + " bytes");
                pos = NextLineStart(m_text, end);
            }
            if (progress && !progress(row, EstimatedRows(row, fileSize)))
                return EParse::kCancelled;
        }
        if (m_chunks.LineTooLong())
            return Refuse(headerLines + m_view.skippedLines + row + 1,
                          "is longer than " + std::to_string(kLongestLine) + " bytes");
        rows.Flush(m_store);
        // A working file has a row for every record of the run, readings or not; a cut row after
        // the last whole one is dropped, not padded.
        m_store.SetRecordCount(m_view.workingFile ? wholeRows : rows.RecordCount());
        m_store.RefreshChannelsInUse();
        return EParse::kDone;
    }

private:
    EParse Refuse(uint64_t line, const std::string& why) {
        m_view.problem = "line " + std::to_string(line) + " " + why;
        return EParse::kRefused;
    }

    // The least a row of this file takes: its channel columns (as the header has them) each with a
    // comma, the channels in use each with a character more.
    uint64_t RowBytesAtLeast() const {
        uint64_t columns = m_view.workingFile && m_rowCommas > 2 ? m_rowCommas - 2 : 0;
        uint64_t inUse = 0;
        for (int k = 1; k <= kChannels; ++k) {
            if (m_store.Channel(k).InUse()) {
                ++inUse;
                columns = std::max<uint64_t>(columns, static_cast<uint64_t>(k));
            }
        }
        return kLeastRowBytes + columns + inUse;
    }

    // The header's lines, up to the first data row (fewer in a short file); pos becomes the start
    // of the line after them in m_text.
    std::vector<std::string> HeaderLines(size_t& pos) {
        std::vector<std::string> header;
        m_text = m_chunks.Next();
        m_bom = m_text.substr(0, 3) == "\xEF\xBB\xBF";
        if (m_bom)
            pos = 3;
        while (header.size() < static_cast<size_t>(m_layout.firstRow) && !m_text.empty()) {
            if (pos >= m_text.size()) {
                m_text = m_chunks.Next();
                pos = 0;
                continue;
            }
            const size_t end = LineEnd(pos);
            header.emplace_back(m_text.substr(pos, end - pos));
            pos = NextLineStart(m_text, end);
        }
        return header;
    }

    // A file with a BOM is UTF-8 unless that cannot be; without one, IsCp932Text decides.
    bool HeaderIsCp932(const std::vector<std::string>& header) const {
        const bool validUtf8 = std::all_of(header.begin(), header.end(),
                                           [](const std::string& line) { return IsValidUtf8(line); });
        if (m_bom || !validUtf8)
            return !validUtf8;
        std::string text;
        for (const std::string& line : header) text += line + '\n';
        return IsCp932Text(text);
    }

    // The rows of the whole file, judged from the bytes read so far.
    uint64_t EstimatedRows(uint32_t rows, uint64_t fileSize) const {
        const uint64_t done = m_chunks.BytesDone();
        return done == 0 || fileSize <= done ? rows : std::max<uint64_t>(rows, rows * fileSize / done);
    }

    void HeaderLine(int line, const CFields& fields) {
        const TLayout& l = m_layout;
        if (line == l.systemNumber) {
            const int64_t number = ParseLeadingDecimal(fields[1]);
            m_store.SetSystemNumber(static_cast<uint32_t>(std::clamp<int64_t>(number, 0, UINT32_MAX)));
        } else if (line == l.samplingRate) {
            if (const int code = SamplingRateCode(std::string(fields[1])); code != 0)
                m_store.SetSamplingRateCode(static_cast<uint32_t>(code));
        } else if (line == l.temperatureUnit) {
            m_store.SetTemperatureUnit(fields[1].size() > 4 && fields[1][4] == 'C' ? 0 : 1);
        } else if (line == l.timeDiv) {
            m_view.scales.timeDiv = fields[1];
        } else if (line == l.tempDiv) {
            m_view.scales.tempDiv = fields[1];
        } else if (line == l.timeOffset) {
            m_view.timeOffsetMs = ParseTimeOffset(fields[1], fields[2]);
        } else if (line == l.tempOffset) {
            m_view.scales.tempOffset = static_cast<int32_t>(
                std::clamp<int64_t>(ParseLeadingDecimal(fields[1]), INT32_MIN, INT32_MAX));
        } else if (line == l.types) {
            for (int k = 1; k <= kChannels; ++k)
                m_store.Channel(k).SetThermocoupleType(
                    ThermocoupleTypeFromText(std::string(fields.Channel(k))));
        } else if (line == l.onOff) {
            for (int k = 1; k <= kChannels; ++k) m_store.Channel(k).SetInUse(fields.Channel(k) == "ON");
        } else if (line == l.adjusted) {
            std::vector<uint32_t> adjusted;
            for (int k = 1; k <= kChannels; ++k) {
                if (fields.Channel(k) == "*")
                    adjusted.push_back(static_cast<uint32_t>(k));
            }
            m_store.SetAdjustedChannels(std::move(adjusted));
        } else if (line == l.comments) {
            for (int k = 1; k <= kChannels; ++k)
                m_store.Channel(k).SetComment(std::string(fields.Channel(k)));
        }
    }

    // A record's line begins with its number and a time: "12,2014/09/22 10:20:30,...".
    bool StartsLikeRecord(size_t pos) const {
        size_t p = pos;
        while (p < m_text.size() && static_cast<unsigned>(m_text[p] - '0') < 10) ++p;
        if (p == pos || p + 1 >= m_text.size() || m_text[p] != ',')
            return false;
        return m_text[p + 1] != ',' && !IsLineEnd(m_text[p + 1]);
    }

    size_t LineEnd(size_t pos) const {
        while (pos < m_text.size() && !IsLineEnd(m_text[pos])) ++pos;
        return pos;
    }

    // A working-file row as the writer appends it: ended by a line end (a row without one was cut
    // by the end of the file, however many fields it has) and one field per channel of the file.
    bool IsWholeWorkingRow(size_t pos, size_t end) const {
        if (end == m_text.size())
            return false;
        const std::string_view line = m_text.substr(pos, end - pos);
        return static_cast<size_t>(std::count(line.begin(), line.end(), ',')) == m_rowCommas;
    }

    // The time of a first row that is damaged: from its time and milliseconds fields when both are
    // whole (a comma follows them), else the start time stays as it was.
    CSystemTime FirstRowTime(size_t pos, size_t end) const {
        const std::string_view line = m_text.substr(pos, end - pos);
        const size_t timeAt = line.find(',') + 1;
        const size_t msAt = line.find(',', timeAt) + 1;
        const size_t msEnd = msAt == 0 ? std::string_view::npos : line.find(',', msAt);
        if (msEnd == std::string_view::npos)
            return m_store.StartTime();
        CSystemTime time = ParseFileTime(line.substr(timeAt, msAt - 1 - timeAt));
        time.millisecond = ParseMilliseconds(line.substr(msAt, msEnd - msAt));
        return time;
    }

    // One data row from pos; returns where its line ends. Only the first row's time is read: the
    // others follow from the start time and the period. Every field scan stops at a line end at
    // the latest, which the lines at hand always have after them (CLineChunks).
    size_t DataRow(size_t pos, uint32_t row, CRowCollector& rows) {
        const char* const begin = m_text.data();
        const char* p = begin + pos;
        rows.BeginRow(row, m_store);
        for (int field = 0; field < 3; ++field) {
            const char* const stop = FieldEnd(p);
            const std::string_view text(p, static_cast<size_t>(stop - p));
            if (row == 0 && field > 0) {
                if (field == 1)
                    m_startTime = ParseFileTime(text);
                else
                    m_startTime.millisecond = ParseMilliseconds(text);
                m_store.SetStartTime(m_startTime);
            }
            if (*stop != ',')
                return static_cast<size_t>(stop - begin);
            p = stop + 1;
        }
        for (int channel = 1;; ++channel) {
            int16_t tenths = 0;
            const char* stop = channel <= kChannels ? ParseWrittenReading(p, tenths) : nullptr;
            if (stop != nullptr) {
                rows.Put(channel, tenths);
            } else {
                stop = FieldEnd(p);
                const std::string_view text(p, static_cast<size_t>(stop - p));
                if (const auto reading = channel <= kChannels ? ParseReadingField(text) : std::nullopt)
                    rows.Put(channel, *reading);
            }
            if (*stop != ',')
                return static_cast<size_t>(stop - begin);
            p = stop + 1;
        }
    }

    static const char* FieldEnd(const char* p) {
        while (*p != ',' && !IsLineEnd(*p)) ++p;
        return p;
    }

    static unsigned Digit(char c) { return static_cast<unsigned>(c - '0'); }

    // The reading form the writer produces ("-12.3": up to four digits, one decimal) ended by a
    // field or line end, straight into tenths; returns where it ends, or nullptr for anything else,
    // which ParseReadingField reads. No bounds checks: a field is followed by a comma or a line
    // end, and the lines at hand are followed by a LF (CLineChunks), so the scan stops at the
    // first byte that is not a digit.
    static const char* ParseWrittenReading(const char* p, int16_t& tenths) {
        const bool negative = *p == '-';
        p += negative ? 1 : 0;
        unsigned value = Digit(p[0]);
        if (value > 9)
            return nullptr;
        int i = 1;
        for (unsigned d; i < 5 && (d = Digit(p[i])) <= 9; ++i) value = value * 10 + d;
        const unsigned tenth = p[i] == '.' ? Digit(p[i + 1]) : 10;
        if (tenth > 9 || (p[i + 2] != ',' && !IsLineEnd(p[i + 2])))
            return nullptr;
        const int signedValue = static_cast<int>(value * 10 + tenth) * (negative ? -1 : 1);
        tenths = signedValue < -2000 || signedValue > 13000 ? kReadingOutOfRange
                                                            : static_cast<int16_t>(signedValue);
        return p + i + 2;
    }

    IReader& m_reader;
    CLineChunks m_chunks;
    std::string_view m_text;  // the lines at hand
    bool m_bom = false;       // the file begins with a UTF-8 BOM
    CMeasurementDataManager& m_store;
    TDataFileView& m_view;
    const TLayout& m_layout;
    CSystemTime m_startTime;
    size_t m_rowCommas = 2;  // in a whole working-file row
};

bool ReadDataFile(IReader& reader, CMeasurementDataManager& store, TDataFileView& view, const TLayout& layout,
                  const FileProgress& progress, size_t chunkSize) {
    // A file too large for memory fails like an unreadable one, here for every caller.
    try {
        if (CDataFileParser(reader, chunkSize, store, view, layout).Parse(progress) != EParse::kDone)
            return false;
    } catch (const CIoFailureException&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    store.SetSavedPath(reader.Path());
    return true;
}

}  // namespace

bool ReadDataFile101(IReader& reader, CMeasurementDataManager& store, TDataFileView& view,
                     const FileProgress& progress, size_t chunkSize) {
    return ReadDataFile(reader, store, view, kLayout101, progress, chunkSize);
}

bool ReadDataFile100(IReader& reader, CMeasurementDataManager& store, TDataFileView& view,
                     const FileProgress& progress, size_t chunkSize) {
    if (!ReadDataFile(reader, store, view, kLayout100, progress, chunkSize))
        return false;
    store.SetSystemNumber(0);
    store.SetTemperatureUnit(0);
    store.SetAdjustedChannels({});
    return true;
}

}  // namespace VEK
