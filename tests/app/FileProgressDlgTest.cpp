// Long file operations behind the progress dialog: it shows after 300 ms with the records done,
// Cancel stops the work, and a cancelled or failed load leaves the data on screen as they were.
#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <fstream>
#include <thread>

#include <QTest>

#include "MainDlgFixture.h"
#include "app/FileProgressDlg.h"

namespace {

using Ids = CMainDlgControls;

class FileProgressDlgTest : public CMainDlgFixture {
protected:
    // Calls action with the progress dialog once it exists (shown when visible), from within the
    // dialog's wait.
    void WhenProgress(bool visible, std::function<void(CFileProgressDlg&)> action) {
        auto* timer = new QTimer(dialog.get());
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, dialog.get(), [this, timer, visible, action] {
            auto* progress = dialog->findChild<CFileProgressDlg*>();
            if (progress == nullptr || (visible && !progress->isVisible()))
                return;
            timer->stop();
            timer->deleteLater();
            action(*progress);
        });
        timer->start();
    }
    // A data file of channels 1 to 3 with rows records.
    static std::string WriteDataFile(const std::string& name, int rows) {
        const std::string path = testing_support::TestHome() + "/" + name;
        std::ofstream file(path, std::ios::binary);
        file << "Brisquent,1.01\r\nSYSTEM NUMBER,1\r\nSAMPLING RATE,1sec\r\nTEMPERATURE UNIT,deg C\r\n"
                "TIME/DIV,5sec\r\nTEMP/DIV,5deg C\r\nDATA COUNT,0\r\nTIME OFFSET,00:00:00,00\r\nTEMP "
                "OFFSET,25\r\n"
                ",,TYPE,K,K,K\r\n,,ON/OFF,ON,ON,ON\r\n,,ADJUST OFFSET,,,\r\nNo.,DATE  "
                "TIME,msec,CH1,CH2,CH3\r\n"
                "USER COMMENT,,,a,b,c\r\n";
        for (int i = 1; i <= rows; ++i) file << i << ",2020/01/02 03:04:05,0,21.5,-3.0,Lost\r\n";
        return path;
    }
    void Load(const std::string& path) {
        prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest&) {
            return std::optional<std::string>(path);
        };
        dialog->Controls().Action(Ids::kLoadData)->trigger();
    }
};

// Work that reports record after record until it is cancelled.
bool RecordsUntilCancelled(const VEK::FileProgress& progress) {
    for (uint64_t done = 1;; done = done % 999 + 1) {
        if (!progress(done, 1000))
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

}  // namespace

TEST_F(FileProgressDlgTest, ShowsAfter300MsWithTheRecordsAndCancelStopsTheWork) {
    QElapsedTimer clock;
    clock.start();
    qint64 shownAfter = 0;
    WhenProgress(true, [&](CFileProgressDlg& progress) {
        shownAfter = clock.elapsed();
        EXPECT_EQ(progress.windowModality(), Qt::WindowModal);
        EXPECT_FALSE(dialog->isEnabled() && QApplication::activeModalWidget() == nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return progress.labelText().contains(" of 1,000"); }, 5000));
        QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
        EXPECT_TRUE(progress.grab().save(QStringLiteral(HOLLOWMERE_SCREENS_DIR "/file-progress.png")));
        progress.findChild<QAbstractButton*>()->click();
    });
    const auto outcome =
        CFileProgressDlg(dialog.get(), "Reading data from the file...", true).Run(RecordsUntilCancelled);
    EXPECT_EQ(outcome, CFileProgressDlg::EOutcome::kCancelled);
    EXPECT_GE(shownAfter, CFileProgressDlg::kShowAfterMs);
}

TEST_F(FileProgressDlgTest, WorkFailingHalfWayIsAFailureAndASaveCannotBeCancelled) {
    const auto failing = [](const VEK::FileProgress& progress) { return progress(50, 100) && false; };
    EXPECT_EQ(CFileProgressDlg(dialog.get(), "Reading", true).Run(failing),
              CFileProgressDlg::EOutcome::kFailed);

    std::atomic<bool> release{false};
    WhenProgress(true, [&](CFileProgressDlg& progress) {
        EXPECT_EQ(progress.findChild<QAbstractButton*>(), nullptr);
        progress.close();  // neither the close box nor Escape stops a save
        EXPECT_TRUE(progress.isVisible());
        release = true;
    });
    const auto saving = [&](const VEK::FileProgress& progress) {
        while (!release) {
            if (!progress(1, 2))
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    };
    EXPECT_EQ(CFileProgressDlg(dialog.get(), "Saving", false).Run(saving), CFileProgressDlg::EOutcome::kDone);
}

TEST_F(FileProgressDlgTest, CancelledOrFailedLoadLeavesTheDataAsTheyWere) {
    Load(WriteDataFile("small.csv", 5));
    ASSERT_EQ(prompt.Told(), std::vector<std::string>{"Finished reading data from the file."});
    ASSERT_EQ(Store().RecordCount(), 5u);
    const auto expectSmallFile = [&] {
        EXPECT_EQ(RunState(), CMeasurementDataManager::kStateHolding);
        EXPECT_EQ(Store().RecordCount(), 5u);
        EXPECT_EQ(CMeasurementDataManager::GetReading(Store().Channel(2), 4), -30);
        EXPECT_EQ(Store().Channel(3).Comment(), "c");
        EXPECT_EQ(Store().SavedPath(), testing_support::TestHome() + "/small.csv");
    };

    const std::string large = WriteDataFile("large.csv", 1'000'000);
    WhenProgress(false, [](CFileProgressDlg& progress) { progress.cancel(); });
    Load(large);
    EXPECT_EQ(prompt.Told().size(), 1u);  // a cancel is told nothing
    expectSmallFile();

    const std::string broken = testing_support::TestHome() + "/broken.csv";
    std::ofstream(broken) << "not a data file\r\n";
    Load(broken);
    EXPECT_EQ(prompt.Told(), (std::vector<std::string>{"Finished reading data from the file.",
                                                       "Failed to read data from the file."}));
    expectSmallFile();
}
