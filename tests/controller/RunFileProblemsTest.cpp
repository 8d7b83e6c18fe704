// A run whose files cannot be written: the file limit stands in for a full disk.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <memory>

#include "DongleEvents.h"
#include "controller/IMeasurementView.h"
#include "controller/LoopbackTestHelpers.h"
#include "controller/MeasurementController.h"
#include "counterpart/OppositeSession.h"
#include "counterpart/SimOptions.h"
#include "files/DataFile.h"
#include "support/TestHome.h"

namespace {

using namespace controller_test;

class CMessages : public IMeasurementView {
public:
    std::vector<std::string> messages;
    void ShowMessage(EIcon, const std::string& text) override { messages.push_back(text); }
    bool WaitForStopConfirmation(const std::function<bool()>&) override { return true; }
};

// Files may grow to `bytes` while it lives; the limit of before once it goes.
class CFileLimit {
public:
    explicit CFileLimit(rlim_t bytes) {
        signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~CFileLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

size_t Rows(const std::string& path) {
    const std::string text = testing_support::ReadFile(path);
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
    return lines - 14;
}

class RunFileProblemsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureCoreApplication(); }

    void SetUp() override {
        testing_support::ResetTestHome();
        port = FreeLoopbackPort();
        testing_support::WriteFile(
            testing_support::TestHome() + "/Documents/Quillmark/Brisquent/Setup/define.ini",
            "[parameter]\r\nhid-vid=tcp\r\nhid-pid=" + std::to_string(port) + "\r\n");
        parameters.systemNumber = 5;
        parameters.polling = TPollingSetting::Fresh();
        parameters.polling.SetRateCode(1);  // 100 ms: ten records of lag
        for (int unit = 1; unit <= 3; ++unit) parameters.polling.SetInUse(unit, true);
        parameters.thermocoupleType.fill(1);
        controller = std::make_unique<CMeasurementController>(parameters, view);
        QObject::connect(controller.get(), &CMeasurementSignals::fileProblemChanged,
                         [this] { told.push_back(controller->FileProblem()); });
        controller->StartDeviceWatch();
        TSimOptions options;
        std::string error;
        ASSERT_TRUE(ParseSimOptions(
            {"--units", "1-3", "--sensor", "800", "--thermo", "0", "--auto-info", "--auto-stop-notice"},
            options, error));
        sim.WithEngine([&](COppositeEngine& engine) { ApplySimOptions(options, engine); });
        sim.SetServer("127.0.0.1", port);
        sim.Start();
        ASSERT_TRUE(Pump([&] { return controller->IsConnected(); }, 10000));
    }
    void TearDown() override {
        controller.reset();
        sim.Stop();
    }

    uint16_t port = 0;
    VEK::TParameterSet parameters;
    CMessages view;
    std::vector<std::string> told;  // FileProblem() at each fileProblemChanged
    std::unique_ptr<CMeasurementController> controller;
    COppositeSession sim{7};
};

// While measuring: told once when the working file stops taking rows, once when it takes them
// again, and no row is missing. After the run: the automatic save fails with the reason, the
// working file's last rows are made up once there is room, and a save that works ends it all.
TEST_F(RunFileProblemsTest, ToldOnceEachWayAndNothingIsMissing) {
    const std::string dataFile = testing_support::TestHome() + "/run.csv";
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{.dataFile = dataFile}), 0);
    const std::string working = controller->WorkingFilePath();
    ASSERT_TRUE(Pump([&] { return Rows(working) >= 5; }, 10000));
    {
        CFileLimit full(testing_support::ReadFile(working).size() + 40);
        ASSERT_TRUE(Pump([&] { return told.size() == 1; }, 5000));
        Pump([] { return false; }, 2500);  // appends go on failing: nothing more is told
    }
    const std::string problem = "Working file " + working + " cannot be written: File too large";
    ASSERT_EQ(told, std::vector<std::string>{problem});
    ASSERT_TRUE(Pump([&] { return told.size() == 2; }, 5000));
    EXPECT_EQ(told.back(), "");
    {
        CFileLimit full(testing_support::ReadFile(working).size() + 40);
        controller->FinishMeasurement();
    }
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], "Failed to save data to the file.\n" + dataFile +
                                    ": File too large\nThe working file " + working +
                                    " lacks the newest rows; they are written as soon as it can be written.");
    EXPECT_EQ(told.back(), problem + "\nData file " + dataFile + ": File too large");
    EXPECT_TRUE(controller->HasUnsavedRun());
    // Room again: the working file gets every record of the run within a second or two.
    ASSERT_TRUE(Pump([&] { return controller->WorkingFileProblem().empty(); }, 5000));
    EXPECT_EQ(Rows(working), controller->Store().RecordCount());
    EXPECT_EQ(told.back(), "Data file " + dataFile + ": File too large");
    std::string reason;
    ASSERT_TRUE(controller->SaveData(dataFile, reason)) << reason;
    EXPECT_EQ(told.back(), "");
    EXPECT_FALSE(controller->HasUnsavedRun());
    EXPECT_FALSE(testing_support::FileExists(working));
    CMeasurementDataManager loaded;
    VEK::TDataFileView fileView;
    ASSERT_TRUE(VEK::LoadDataFile(dataFile, loaded, fileView, TMeasurementSetup{}));
    EXPECT_EQ(loaded.RecordCount(), controller->Store().RecordCount());
}

}  // namespace
