#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "DataFileTestStore.h"
#include "files/DataFile.h"
#include "files/DataFileReader.h"
#include "files/DataFileText.h"
#include "files/DataFileWriter.h"
#include "files/Settings.h"
#include "platform/Folders.h"
#include "support/TestHome.h"

using namespace VEK;
using data_file_test::FillSampleStore;
using data_file_test::kSampleFile;
using data_file_test::SampleView;
using testing_support::ReadFile;
using testing_support::TestHome;
using testing_support::WriteFile;

namespace {

std::string Header101(const std::string& comments = "USER COMMENT,,,a,b") {
    return "Brisquent,1.01\r\nSYSTEM NUMBER,7\r\nSAMPLING RATE,500msec\r\nTEMPERATURE UNIT,deg C\r\n"
           "TIME/DIV,5sec\r\nTEMP/DIV,5deg C\r\nDATA COUNT,3\r\nTIME OFFSET,00:00:05,500\r\nTEMP "
           "OFFSET,25\r\n"
           ",,TYPE,K,J\r\n,,ON/OFF,ON,ON\r\n,,ADJUST OFFSET,*,\r\nNo.,DATE  TIME,msec,CH1,CH2\r\n" +
           comments + "\r\n";
}
const std::string kRows = "1,2020/01/02 03:04:05,0,1.0,2.0\r\n2,2020/01/02 03:04:05,500,1.5,Lost\r\n";

class DataFileTest : public ::testing::Test {
public:  // the case table's checks read the loaded store
    std::string path = TestHome() + "/data/sample.csv";
    CMeasurementDataManager store;
    TDataFileView view;

    void SetUp() override { CreateFolderWithParents(FolderOf(path)); }
    bool Load(const std::string& bytes) {
        WriteFile(path, bytes);
        return LoadDataFile(path, store, view, TMeasurementSetup{});
    }
    int16_t At(int channel, uint32_t record) const {
        return CMeasurementDataManager::GetReading(store.Channel(channel), record);
    }
};

}  // namespace

TEST_F(DataFileTest, WritesHeaderAndRowsFromTheFirstRecordWithAReading) {
    FillSampleStore(store);
    store.SetModified(true);
    ASSERT_TRUE(SaveDataFile(path, store, SampleView()));
    EXPECT_EQ(ReadFile(path), kSampleFile);
    EXPECT_EQ(FileChannelCount(store), 3u);
    EXPECT_EQ(store.SavedPath(), path);
    EXPECT_FALSE(store.IsModified());
}

TEST_F(DataFileTest, WriteReadWriteIsByteIdentical) {
    FillSampleStore(store);
    ASSERT_TRUE(SaveDataFile(path, store, SampleView()));

    CMeasurementDataManager loaded;
    TDataFileView view;
    ASSERT_TRUE(LoadDataFile(path, loaded, view, TMeasurementSetup{}));
    EXPECT_EQ(loaded.State(), CMeasurementDataManager::kStateHolding);
    EXPECT_EQ(loaded.RecordCount(), 4u);
    EXPECT_EQ(loaded.SystemNumber(), 12u);
    EXPECT_EQ(loaded.TemperatureUnit(), kTemperatureUnitFahrenheit);
    EXPECT_EQ(loaded.ChannelsInUse(), (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(loaded.AdjustedChannels(), (std::vector<uint32_t>{3}));
    EXPECT_EQ(loaded.Channel(1).Comment(), "炉 入口");
    EXPECT_EQ(loaded.StartTime(), (CSystemTime{2014, 9, 0, 22, 10, 20, 32, 0}));
    EXPECT_EQ(view.scales, SampleView().scales);
    // The graph takes the file's scale (100 records per screen) and places its left edge.
    view.samplesPerScreen = 100;
    view.firstVisibleRecord = FirstVisibleRecord(view.timeOffsetMs, 1000, view.samplesPerScreen);
    EXPECT_EQ(view.firstVisibleRecord, 10u);

    const std::string again = TestHome() + "/data/again.csv";
    ASSERT_TRUE(SaveDataFile(again, loaded, view));
    EXPECT_EQ(ReadFile(again), ReadFile(path));
}

// The graph draws a loaded file from its summary: it must hold what the rows hold.
TEST_F(DataFileTest, LoadedSeriesCarryTheirSummary) {
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);
    setup.pollingSetting.SetInUse(1, true);
    store.Start(setup);
    std::vector<int16_t> tenths(5000);
    for (size_t i = 0; i < tenths.size(); ++i)
        tenths[i] = i % 97 == 5 ? kReadingLost : static_cast<int16_t>(200 + (i * 7919) % 300);
    tenths[2047] = 9000;  // one spike
    store.Channel(1).FillReadings(0, tenths.data(), tenths.size());
    store.SetRecordCount(static_cast<uint32_t>(tenths.size()));
    store.Stop();
    ASSERT_TRUE(SaveDataFile(path, store, SampleView()));

    CMeasurementDataManager loaded;
    ASSERT_TRUE(LoadDataFile(path, loaded, view, TMeasurementSetup{}));
    for (const auto& [first, end] :
         {std::pair<size_t, size_t>{0, 5000}, {2000, 2100}, {2048, 4096}, {4095, 4999}}) {
        TReadingExtremes brute;
        for (size_t i = first; i < end; ++i) brute.Widen(tenths[i]);
        EXPECT_EQ(loaded.Channel(1).Extremes(first, end), brute) << first << ".." << end;
    }
}

// A comment that came with a comma (a setup file of an older installation) must not move the
// comments after it a column: the comma is written as a blank.
TEST_F(DataFileTest, CommentLineBreaksAndCommasAreDroppedAndLongLinesKept) {
    FillSampleStore(store);
    store.Channel(1).SetComment("inlet,left");
    store.Channel(2).SetComment("two\r\nlines");
    store.Channel(3).SetComment(std::string(20000, 'c'));
    ASSERT_TRUE(SaveDataFile(path, store, SampleView()));
    CMeasurementDataManager loaded;
    ASSERT_TRUE(LoadDataFile(path, loaded, view, TMeasurementSetup{}));
    EXPECT_EQ(loaded.Channel(1).Comment(), "inlet left");
    EXPECT_EQ(loaded.Channel(2).Comment(), "twolines");
    EXPECT_EQ(loaded.Channel(3).Comment(), std::string(20000, 'c'));
    EXPECT_EQ(loaded.RecordCount(), 4u);
}

TEST_F(DataFileTest, TextForms) {
    EXPECT_EQ(FormatTimeOffset(90061005), "25:01:01,05");
    EXPECT_EQ(FormatTimeOffset(0), "00:00:00,00");
    EXPECT_EQ(ParseTimeOffset("25:01:01", "05"), 90061005u);
    EXPECT_EQ(ParseTimeOffset("99999999999999999999:00:00", "0"), UINT64_MAX);
    EXPECT_EQ(ParseTimeOffset("-5:1", ""), 60000u);
    EXPECT_EQ(FirstVisibleRecord(UINT64_MAX, 100, 100), UINT32_MAX);
    EXPECT_EQ(FirstVisibleRecord(5000, 0, 100), 0u);
    EXPECT_EQ(FirstVisibleRecord(74000, 1000, 100), 30u);  // 74 - 50 = 24, up to a division: 30

    EXPECT_EQ(ParseFileTime("2014/09/22 10:20:30"), (CSystemTime{2014, 9, 0, 22, 10, 20, 30, 0}));
    EXPECT_EQ(ParseFileTime("2014-09-22 10:20:30.250"), (CSystemTime{2014, 9, 0, 22, 10, 20, 30, 250}));
    EXPECT_EQ(ParseFileTime("2014'09"), (CSystemTime{2014, 9, 0, 0, 0, 0, 0, 0}));

    const struct {
        const char* field;
        std::optional<int16_t> tenths;
    } cases[] = {
        {"", std::nullopt},
        {"Lost", std::nullopt},
        {"L", std::nullopt},
        {"Out Of Range", kReadingOutOfRange},
        {"O", kReadingOutOfRange},
        {"25.3", 253},
        {"-1.5", -15},
        {"-0.0", 0},
        {"1300.0", 13000},
        {"1300.04", kReadingOutOfRange},
        {"-200.1", kReadingOutOfRange},
        {" +12.25", 123},
        {"-12.25", -123},
        {"1e2", 1000},
        {"12.3xyz", 123},
        {"abc", 0},
        {"--5", 0},
        {"1e999", kReadingOutOfRange},
        {"13000", kReadingOutOfRange},
        {"7", 70},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseReadingField(c.field), c.tenths) << c.field;
}

TEST_F(DataFileTest, RowTimesFollowTheLocalClockAcrossADaylightSavingChange) {
    const std::string oldTz = getenv("TZ") ? getenv("TZ") : "";
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(3);  // 500msec
    setup.pollingSetting.SetInUse(1, true);
    store.Reset(setup);
    const CSystemTime start{2026, 3, 0, 29, 1, 58, 0, 0};
    store.SetStartTime(start);
    const uint32_t records = 400;  // 01:58 to 03:01:20, across the hour that does not exist
    for (uint32_t i = 0; i < records; ++i) CMeasurementDataManager::SetReading(store.Channel(1), i, 1);
    store.SetRecordCount(records);
    store.SetState(CMeasurementDataManager::kStateHolding);
    const bool saved = SaveDataFile(path, store, view);
    const std::string file = ReadFile(path);
    std::vector<std::string> expected;
    for (uint32_t i = 0; i < records; ++i) {
        const CSystemTime t = start.AddMilliseconds(int64_t{i} * 500);
        expected.push_back(std::to_string(i + 1) + "," + t.Format("%Y/%m/%d %H:%M:%S") + "," +
                           std::to_string(t.millisecond) + ",0.1\r\n");
    }
    setenv("TZ", oldTz.c_str(), 1);
    if (oldTz.empty())
        unsetenv("TZ");
    tzset();
    ASSERT_TRUE(saved);
    EXPECT_NE(file.find("\r\n4,2026/03/29 01:58:01,500,0.1\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\n241,2026/03/29 03:00:00,0,0.1\r\n"), std::string::npos);
    std::string rows;
    for (const auto& row : expected) rows += row;
    EXPECT_EQ(file.substr(file.size() - rows.size()), rows);
}

// What each malformed or foreign file loads as, or that it fails and leaves an empty store.
TEST_F(DataFileTest, ToleratesMalformedFiles) {
    const std::string cp932Comment = "\x89\xB7\x93\x78";  // 温度 in CP932
    const struct {
        const char* name;
        std::string bytes;
        bool loads;
        std::function<void(const DataFileTest&)> check;
    } cases[] = {
        {"wrong header", "Brisk,1.01\r\n" + kRows, false, nullptr},
        {"empty file", "", false, nullptr},
        {"version 1.01 needs exactly 1.01", "Brisquent,1.010\r\n", false, nullptr},
        {"header only", Header101(), true,
         [](const DataFileTest& t) {
             EXPECT_EQ(t.store.RecordCount(), 0u);
             EXPECT_EQ(t.store.SystemNumber(), 7u);
             EXPECT_EQ(t.store.SamplingRateCode(), 3u);
             EXPECT_EQ(t.store.AdjustedChannels(), (std::vector<uint32_t>{1}));
             EXPECT_EQ(t.store.Channel(2).ThermocoupleType(), 3);
             EXPECT_EQ(t.view.scales, (TGraphScaleSettings{"5sec", "5deg C", 25}));
             EXPECT_EQ(t.view.timeOffsetMs, 5500u);
         }},
        {"rows", Header101() + kRows, true,
         [](const DataFileTest& t) {
             EXPECT_EQ(t.store.RecordCount(), 2u);
             EXPECT_EQ(t.At(1, 1), 15);
             EXPECT_EQ(t.At(2, 1), kReadingLost);
             EXPECT_EQ(t.store.StartTime(), (CSystemTime{2020, 1, 0, 2, 3, 4, 5, 0}));
         }},
        {"version 1.00",
         "Brisquent,1.00\r\nSAMPLING RATE,2sec\r\nTIME/DIV,1min\r\nTEMP/DIV,20\r\nDATA COUNT,9\r\n"
         "TIME OFFSET,00:01:00,0\r\nTEMP OFFSET,-5\r\n,,TYPE,T\r\n,,ON/OFF,ON\r\nNo.\r\nUSER "
         "COMMENT,,,old\r\n"
         "1,2001/02/03 04:05:06,0,-3.5\r\n",
         true,
         [](const DataFileTest& t) {
             EXPECT_EQ(t.store.SamplingRateCode(), 5u);
             EXPECT_EQ(t.store.SystemNumber(), 0u);
             EXPECT_EQ(t.store.TemperatureUnit(), 0u);
             EXPECT_EQ(t.store.Channel(1).ThermocoupleType(), 2);
             EXPECT_EQ(t.store.Channel(1).Comment(), "old");
             EXPECT_EQ(t.At(1, 0), -35);
             EXPECT_EQ(t.view.scales, (TGraphScaleSettings{"1min", "20", -5}));
         }},
        {"1.00 header must be exact", "Brisquent-Working,1.00\r\n", false, nullptr},
        {"working file", "Brisquent-Working,1.01\r\n" + Header101().substr(16) + kRows, true,
         [](const DataFileTest& t) { EXPECT_EQ(t.store.RecordCount(), 2u); }},
        {"short lines",
         "Brisquent,1.01\r\nSYSTEM NUMBER\r\n\r\n\r\n\r\n\r\n\r\nTIME OFFSET,1\r\n\r\n\r\n,,ON/OFF,ON\r\n"
         "\r\n\r\n\r\n1\r\n2,x,0,4.5\r\n",
         true,
         [](const DataFileTest& t) {
             EXPECT_EQ(t.store.SystemNumber(), 0u);
             EXPECT_EQ(t.store.TemperatureUnit(), 1u);  // an empty unit text gives deg F
             EXPECT_EQ(t.view.timeOffsetMs, 3600000u);
             EXPECT_EQ(t.store.ChannelsInUse(), (std::vector<int32_t>{1}));
             // "1" has no time: not a record.
             EXPECT_EQ(t.store.RecordCount(), 1u);
             EXPECT_EQ(t.At(1, 0), 45);
             EXPECT_EQ(t.view.skippedLines, 1u);
         }},
        {"trailing all-Lost rows", Header101() + kRows + "3,x,0,Lost,\r\n4,x,0,,Lost\r\n", true,
         [](const DataFileTest& t) { EXPECT_EQ(t.store.RecordCount(), 2u); }},
        {"extra fields", Header101() + "1,x,0" + std::string(100, ',') + "100.0,7,8,9\r\n", true,
         [](const DataFileTest& t) {
             EXPECT_EQ(t.At(100, 0), 1000);
             EXPECT_EQ(t.store.RecordCount(), 1u);
         }},
        {"comment with a comma", Header101("USER COMMENT,,,a,b,c"), true,
         [](const DataFileTest& t) { EXPECT_EQ(t.store.Channel(3).Comment(), "c"); }},
        {"CP932 comment", Header101("USER COMMENT,,," + cp932Comment + ",b") + kRows, true,
         [](const DataFileTest& t) {
             EXPECT_EQ(t.store.Channel(1).Comment(), "温度");
             EXPECT_EQ(t.store.RecordCount(), 2u);
         }},
        {"CP932 half-width katakana that is valid UTF-8", Header101("USER COMMENT,,,\xC3\xBD,b") + kRows,
         true, [](const DataFileTest& t) { EXPECT_EQ(t.store.Channel(1).Comment(), "ﾃｽ"); }},
        {"the same with a BOM is UTF-8", "\xEF\xBB\xBF" + Header101("USER COMMENT,,,\xC3\xBD,b") + kRows,
         true, [](const DataFileTest& t) { EXPECT_EQ(t.store.Channel(1).Comment(), "ý"); }},
        // The header's conversion must not lose what its first line said.
        {"CP932 working file",
         "Brisquent-Working,1.01\r\n" + Header101("USER COMMENT,,," + cp932Comment + ",b").substr(16) + kRows,
         true,
         [](const DataFileTest& t) {
             EXPECT_TRUE(t.view.workingFile);
             EXPECT_EQ(t.store.Channel(1).Comment(), "温度");
             EXPECT_EQ(t.store.RecordCount(), 2u);
         }},
        {"BOM", "\xEF\xBB\xBF" + Header101() + kRows, true,
         [](const DataFileTest& t) { EXPECT_EQ(t.store.RecordCount(), 2u); }},
        {"LF only",
         [] {
             std::string s = Header101() + kRows;
             std::erase(s, '\r');
             return s;
         }(),
         true,
         [](const DataFileTest& t) {
             EXPECT_EQ(t.store.Channel(2).Comment(), "b");
             EXPECT_EQ(t.At(1, 1), 15);
         }},
        {"CR only",
         [] {
             std::string s = Header101() + kRows;
             std::erase(s, '\n');
             return s;
         }(),
         true, [](const DataFileTest& t) { EXPECT_EQ(t.At(1, 1), 15); }},
        {"20000-character comment line", Header101("USER COMMENT,,," + std::string(20000, 'x')) + kRows, true,
         [](const DataFileTest& t) {
             EXPECT_EQ(t.store.Channel(1).Comment().size(), 20000u);
             EXPECT_EQ(t.At(2, 0), 20);
         }},
        {"huge numbers saturate", "Brisquent,1.01\r\nSYSTEM NUMBER,99999999999\r\n", true,
         [](const DataFileTest& t) { EXPECT_EQ(t.store.SystemNumber(), UINT32_MAX); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        store.Reset(TMeasurementSetup{});
        CMeasurementDataManager::SetReading(store.Channel(5), 0, 11);  // previous data
        store.SetRecordCount(1);
        view = TDataFileView{};
        ASSERT_EQ(Load(c.bytes), c.loads);
        if (c.loads) {
            EXPECT_EQ(store.State(), CMeasurementDataManager::kStateHolding);
            // A working file's rows are saved nowhere yet: a save must not propose the working file.
            EXPECT_EQ(store.SavedPath(), view.workingFile ? "" : path);
            EXPECT_EQ(store.IsModified(), view.workingFile);
            c.check(*this);
        } else {
            EXPECT_EQ(store.State(), CMeasurementDataManager::kStateEmpty);
            EXPECT_EQ(store.RecordCount(), 0u);
        }
        EXPECT_EQ(At(5, 0), kReadingLost);
    }
}

// Progress counts the rows read, the total estimated from the bytes read; a cancel fails the load
// at once (no try as the older version follows).
TEST_F(DataFileTest, LoadTellsProgressAndCanBeCancelled) {
    std::string rows;
    for (int i = 1; i <= 200'000; ++i) rows += std::to_string(i) + ",2020/01/02 03:04:05,0,1.0,2.0\r\n";
    WriteFile(path, Header101() + rows);
    std::vector<std::pair<uint64_t, uint64_t>> told;
    ASSERT_TRUE(LoadDataFile(path, store, view, TMeasurementSetup{}, [&](uint64_t done, uint64_t total) {
        told.emplace_back(done, total);
        return true;
    }));
    EXPECT_EQ(store.RecordCount(), 200'000u);
    ASSERT_GE(told.size(), 2u);  // the file is several reading buffers long
    EXPECT_EQ(told.back(), std::make_pair(uint64_t{200'000}, uint64_t{200'000}));
    for (const auto& [done, total] : told) {
        EXPECT_LE(done, total);
        EXPECT_GE(total, 190'000u);  // the estimate from the bytes read stays near the truth
    }

    int calls = 0;
    EXPECT_FALSE(LoadDataFile(path, store, view, TMeasurementSetup{},
                              [&](uint64_t, uint64_t) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(store.RecordCount(), 0u);
}

TEST_F(DataFileTest, LoadOfAMissingFileFails) {
    EXPECT_FALSE(LoadDataFile(TestHome() + "/none.csv", store, view, TMeasurementSetup{}));
}

TEST_F(DataFileTest, FailedSaveKeepsTheOldFileAndTheStore) {
    FillSampleStore(store);
    WriteFile(path, "old file");
    store.SetSavedPath("/earlier.csv");
    store.SetModified(true);
    auto expectUntouched = [&] {
        EXPECT_EQ(ReadFile(path), "old file");
        EXPECT_EQ(store.SavedPath(), "/earlier.csv");
        EXPECT_TRUE(store.IsModified());
        EXPECT_EQ(store.RecordCount(), 6u);
    };
    {
        SCOPED_TRACE("disk full");
        signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small{200, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        std::string problem;
        const bool saved = SaveDataFile(path, store, SampleView(), {}, &problem);
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_FALSE(saved);
        EXPECT_EQ(problem, "File too large");
        expectUntouched();
    }
    {
        SCOPED_TRACE("folder is a file");
        std::string problem;
        EXPECT_FALSE(SaveDataFile(path + "/inside.csv", store, SampleView(), {}, &problem));
        EXPECT_EQ(problem, "Not a directory");
        expectUntouched();
    }
    if (geteuid() != 0) {
        SCOPED_TRACE("read-only folder");
        chmod(FolderOf(path).c_str(), 0555);
        const bool saved = SaveDataFile(path, store, SampleView());
        chmod(FolderOf(path).c_str(), 0755);
        EXPECT_FALSE(saved);
        expectUntouched();
    }
    ASSERT_TRUE(SaveDataFile(path, store, SampleView()));
    EXPECT_EQ(ReadFile(path), kSampleFile);
    // The log names the file, with the reason or what was written.
    const std::string saved = "ファイル[" + path + "]に 6 件を保存しました(" +
                              std::to_string(std::string(kSampleFile).size()) + " バイト)。";
    std::string log;
    for (int i = 0; i < 500 && log.find(saved) == std::string::npos; ++i) {
        usleep(10000);
        log = ReadFile(LogFilePath());
    }
    EXPECT_NE(log.find(saved), std::string::npos) << log;
    EXPECT_NE(log.find("ファイル[" + path + "]の保存に失敗しました(File too large)。"), std::string::npos);
    EXPECT_NE(log.find("ファイル[" + path + "/inside.csv]の保存に失敗しました(Not a directory)。"),
              std::string::npos);
}

// Running out of memory while reading fails the read, whoever reads (the loader, the replay).
TEST_F(DataFileTest, AllocationFailureFailsTheRead) {
    class CExhaustedReader : public IReader {
    public:
        size_t ReadAt(uint64_t, char*, size_t) override { throw std::bad_alloc(); }
        uint64_t Size() override { return 0; }
        std::string Path() const override { return "huge.csv"; }
    } reader;
    EXPECT_FALSE(ReadDataFile101(reader, store, view));
    EXPECT_FALSE(ReadDataFile100(reader, store, view));
}

TEST_F(DataFileTest, NewDataFileFollowsTheUmask) {
    FillSampleStore(store);
    std::remove(path.c_str());
    const mode_t previous = umask(077);
    const bool saved = SaveDataFile(path, store, SampleView());
    umask(previous);
    ASSERT_TRUE(saved);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}
