// hollowmere-stats: its command line in this process; the program's output bytes on a fixture
// file; its exit statuses; and on a generated 100-channel file of 60 000 records the same minimum,
// maximum and mean (to the printed decimals) as a pass over the file's own text.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>
#include <sstream>

#include "files/DataFile.h"
#include "stats/StatsOptions.h"
#include "support/AppProcess.h"
#include "support/NumberText.h"
#include "support/TestHome.h"

namespace {

using namespace std::chrono_literals;

const std::string kFixtures = std::string(HOLLOWMERE_SOURCE_DIR) + "/tests/stats/fixtures/";

// The exit status; the program's standard output and error land in output.
int Stats(const std::vector<std::string>& args, std::string* output = nullptr) {
    const std::string path = testing_support::TestHome() + "/stats-output.txt";
    CAppProcess stats(CAppProcess::BinaryPath("hollowmere-stats"), args, path);
    const int status = stats.Wait(120s);
    if (output != nullptr)
        *output = testing_support::ReadFile(path);
    return status;
}

std::vector<std::string> Split(const std::string& line, char separator = ',') {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, separator);) fields.push_back(field);
    if (!line.empty() && line.back() == separator)
        fields.emplace_back();
    return fields;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t begin = 0; begin < text.size();) {
        const size_t end = text.find("\r\n", begin);
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}

TEST(StatsOptions, CommandLines) {
    const struct {
        std::vector<std::string> args;
        bool ok;
    } rows[] = {
        {{"a.csv"}, true},
        {{"a.csv", "--from", "0", "--to", "4294967295", "--channels", "1-5,8,100"}, true},
        {{"--to", "3", "a.csv", "--from", "9"}, true},
        {{}, false},
        {{"a.csv", "b.csv"}, false},
        {{"a.csv", "--from", "-1"}, false},
        {{"a.csv", "--to", "4294967296"}, false},
        {{"a.csv", "--from", "1e3"}, false},
        {{"a.csv", "--channels", "0"}, false},
        {{"a.csv", "--channels", "101"}, false},
        {{"a.csv", "--channels", "5-1"}, false},
        {{"a.csv", "--channels", "1,,2"}, false},
        {{"a.csv", "--channels", "1-"}, false},
        {{"a.csv", "--channels", " 3"}, false},
        {{"a.csv", "--channels", "+3"}, false},
        {{"a.csv", "--channels"}, false},
        {{"a.csv", "--mean", "yes"}, false},
    };
    for (const auto& row : rows) {
        TStatsOptions options;
        std::string error;
        EXPECT_EQ(options.Parse(row.args, error), row.ok) << row.args.size() << " " << error;
        EXPECT_EQ(error.empty(), row.ok) << error;
    }
    TStatsOptions options;
    std::string error;
    ASSERT_TRUE(options.Parse({"in.csv", "--channels", "8,3-5,4", "--to", "12"}, error));
    EXPECT_EQ(options.dataFile, "in.csv");
    EXPECT_EQ(options.channels, (std::vector<int32_t>{3, 4, 5, 8}));
    EXPECT_FALSE(options.from.has_value());
    EXPECT_EQ(options.to, 12u);
}

// A °F file at 500 ms whose records cross midnight: Lost and Out Of Range at the ends and inside,
// a channel off, a channel with no valid reading in a span, a comment in quotes.
TEST(StatsProgram, PrintsTheTableOfAFixture) {
    const struct {
        std::vector<std::string> args;
        const char* expected;
    } runs[] = {
        {{}, "span4-all.txt"},
        {{"--from", "9", "--to", "2", "--channels", "2,4"}, "span4-9to2.txt"},
        {{"--to", "5", "--from", "5"}, "span4-5to5.txt"},
    };
    for (const auto& run : runs) {
        std::vector<std::string> args = {kFixtures + "span4.csv"};
        args.insert(args.end(), run.args.begin(), run.args.end());
        std::string output;
        ASSERT_EQ(Stats(args, &output), 0) << output;
        EXPECT_EQ(output, testing_support::ReadFile(kFixtures + run.expected)) << run.expected;
    }
}

TEST(StatsProgram, FailuresAndTheirStatus) {
    const std::string fixture = kFixtures + "span4.csv";
    std::string output;
    EXPECT_EQ(Stats({testing_support::TestHome() + "/missing.csv"}, &output), 1);
    EXPECT_NE(output.find("cannot read the data file"), std::string::npos) << output;
    EXPECT_EQ(Stats({fixture, "--to", "12"}, &output), 1);  // records 0 .. 11
    EXPECT_NE(output.find("no record 12 in the file (records 0 to 11)"), std::string::npos) << output;
    EXPECT_EQ(Stats({fixture, "--channels", "3"}, &output), 1);  // off in the file
    EXPECT_NE(output.find("channel 3 is not in use"), std::string::npos) << output;
    EXPECT_EQ(Stats({fixture, "--from", "x"}, &output), 2);
    EXPECT_NE(output.find("Usage: hollowmere-stats"), std::string::npos) << output;
    EXPECT_EQ(Stats({"--help"}, &output), 0);
    EXPECT_EQ(output.rfind("Usage: hollowmere-stats DATA.csv", 0), 0u) << output;
    // A file of nothing but its header.
    const std::string empty = testing_support::TestHome() + "/empty.csv";
    std::string header = testing_support::ReadFile(fixture);
    header = header.substr(0, header.find("\r\n1,"));
    testing_support::WriteFile(empty, header + "\r\n");
    EXPECT_EQ(Stats({empty}, &output), 1);
    EXPECT_NE(output.find("no records"), std::string::npos) << output;
}

// 100 channels of 60 000 records: a ramp with noise per channel, Lost and Out Of Range readings
// and rare spikes, written by the application's writer.
std::string GenerateHundredChannels() {
    const std::string path = testing_support::TestHome() + "/hundred.csv";
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);
    for (int k = 1; k <= 100; ++k) setup.pollingSetting.SetInUse(k, true);
    CMeasurementDataManager store;
    store.Start(setup);
    std::mt19937 random(36);
    constexpr uint32_t kRecords = 60000;
    std::vector<int16_t> tenths(kRecords);
    for (int k = 1; k <= 100; ++k) {
        for (uint32_t i = 0; i < kRecords; ++i) {
            const uint32_t roll = random() % 1000;
            tenths[i] = roll < 20   ? kReadingLost
                        : roll < 30 ? kReadingOutOfRange
                        : roll < 32 ? static_cast<int16_t>(9000 + k)
                                    : static_cast<int16_t>(k * 30 + static_cast<int>(i / 100) +
                                                           static_cast<int>(random() % 51) - 25);
        }
        store.Channel(k).FillReadings(0, tenths.data(), kRecords);
    }
    store.SetRecordCount(kRecords);
    store.Stop();
    EXPECT_TRUE(VEK::WriteDataFileAtomically(path, store, VEK::TDataFileView{}));
    return path;
}

struct TDirect {
    int64_t min = INT64_MAX, max = INT64_MIN, sum = 0, count = 0;
};

// The channels' readings read straight off the file's rows (records from..to, either order).
std::vector<TDirect> DirectFromText(const std::string& text, uint32_t from, uint32_t to) {
    std::vector<TDirect> direct(101);
    const std::vector<std::string> lines = Lines(text);
    const uint32_t first = std::min(from, to), last = std::max(from, to);
    for (size_t line = 14; line < lines.size(); ++line) {
        const std::vector<std::string> fields = Split(lines[line]);
        const uint32_t record = static_cast<uint32_t>(std::stoul(fields[0])) - 1;
        if (record < first || record > last)
            continue;
        for (int k = 1; k <= 100; ++k) {
            const std::optional<double> value = VEK::ParseWholeDouble(fields[static_cast<size_t>(k) + 2]);
            if (!value)
                continue;  // Lost, Out Of Range
            const auto reading = static_cast<int64_t>(std::llround(*value * 10));
            TDirect& d = direct[static_cast<size_t>(k)];
            d.min = std::min(d.min, reading);
            d.max = std::max(d.max, reading);
            d.sum += reading;
            ++d.count;
        }
    }
    return direct;
}

// A printed reading against tenths.
bool SameTenths(const std::string& printed, int64_t tenths) {
    const std::optional<double> value = VEK::ParseWholeDouble(printed);
    return value && std::llround(*value * 10) == tenths;
}

// The printed mean is the exact mean rounded to two decimals; only at an exact tie may the
// rounding go either way.
bool SameMean(const std::string& printed, const TDirect& direct) {
    const long double exact = static_cast<long double>(direct.sum) / direct.count / 10;
    if (printed == VEK::FormatFixed(static_cast<double>(exact), 2))
        return true;
    const long double hundredths = std::fabs(exact * 100);
    const std::optional<double> value = VEK::ParseWholeDouble(printed);
    return value && std::fabs(static_cast<double>(hundredths - std::trunc(hundredths)) - 0.5) < 1e-6 &&
           std::fabs(*value - static_cast<double>(exact)) < 0.0051;
}

TEST(StatsProgram, HundredChannelsAgreeWithADirectPassOverTheFile) {
    const std::string path = GenerateHundredChannels();
    const std::string text = testing_support::ReadFile(path);
    for (auto [from, to] : {std::pair<uint32_t, uint32_t>{0, 59999}, {1000, 50000}, {50000, 1000}}) {
        SCOPED_TRACE(std::to_string(from) + " .. " + std::to_string(to));
        std::vector<std::string> args = {path};
        if (from != 0 || to != 59999)
            args.insert(args.end(), {"--from", std::to_string(from), "--to", std::to_string(to)});
        std::string output;
        ASSERT_EQ(Stats(args, &output), 0) << output;
        const std::vector<std::string> lines = Lines(output);
        ASSERT_EQ(lines.size(), 101u);
        const std::vector<TDirect> direct = DirectFromText(text, from, to);
        const int64_t records = int64_t{std::max(from, to)} - std::min(from, to) + 1;
        int agreeing = 0;
        for (int k = 1; k <= 100; ++k) {
            const std::vector<std::string> row = Split(lines[static_cast<size_t>(k)]);
            ASSERT_EQ(row.size(), 13u);
            const TDirect& d = direct[static_cast<size_t>(k)];
            const bool same = row[0] == std::to_string(k) && SameTenths(row[5], d.min) &&
                              SameTenths(row[7], d.max) && SameMean(row[9], d) &&
                              row[11] == std::to_string(d.count) &&
                              std::stoll(row[11]) + std::stoll(row[12]) == records;
            EXPECT_TRUE(same) << lines[static_cast<size_t>(k)] << " against min " << d.min << " max " << d.max
                              << " sum " << d.sum << " count " << d.count;
            agreeing += same;
        }
        std::printf("records %u to %u: %d of 100 channels agree in min, max, mean and counts\n", from, to,
                    agreeing);
    }
}

}  // namespace
