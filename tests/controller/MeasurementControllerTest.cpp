// The controller in this process against the simulated dongle, over 127.0.0.1.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "DongleEvents.h"
#include "controller/IMeasurementView.h"
#include "controller/LoopbackTestHelpers.h"
#include "controller/MeasurementController.h"
#include "counterpart/OppositeSession.h"
#include "counterpart/SimOptions.h"
#include "data/Reading.h"
#include "files/DataFile.h"
#include "files/OffsetCapture.h"
#include "files/Settings.h"
#include "protocol/CommandCode.h"
#include "support/TestHome.h"

namespace {

using namespace QNL::Code;
using namespace controller_test;

void Wait(int ms) {
    Pump([] { return false; }, ms);
}

using TFrame = std::vector<int>;

// The simulated dongle, recording every frame it receives and sends.
class CSimulator {
public:
    CSimulator(uint16_t port, std::vector<std::string> args, const std::string& units = "1-3",
               bool autoInfo = true)
        : m_session(7) {
        // The test's own options come after these and win.
        args.insert(args.begin(), {"--units", units, "--sensor", "800", "--thermo", "0"});
        if (autoInfo)
            args.push_back("--auto-info");
        std::string error;
        EXPECT_TRUE(ParseSimOptions(args, m_options, error)) << error;
        m_session.WithEngine([&](COppositeEngine& engine) { ApplySimOptions(m_options, engine); });
        m_session.SetLinkFaults(m_options.link);
        m_session.SetServer("127.0.0.1", port);
        m_session.SetTrace([this](const std::string& line) {
            std::lock_guard lock(m_lock);
            std::stringstream stream(line.substr(3));
            TFrame frame;
            for (std::string hex; stream >> hex;) frame.push_back(std::stoi(hex, nullptr, 16));
            (line[0] == '<' ? m_received : m_sent).push_back(frame);
        });
        m_session.Start();
    }
    ~CSimulator() { m_session.Stop(); }

    COppositeSession& Session() { return m_session; }
    std::vector<TFrame> Received() {
        std::lock_guard lock(m_lock);
        return m_received;
    }
    std::vector<TFrame> Sent() {
        std::lock_guard lock(m_lock);
        return m_sent;
    }
    std::vector<int> ReceivedCommands() {
        std::vector<int> commands;
        for (const TFrame& frame : Received()) commands.push_back(frame[2]);
        return commands;
    }
    size_t CountReceived(int command) {
        size_t count = 0;
        for (const TFrame& frame : Received()) count += frame[2] == command;
        return count;
    }

private:
    TSimOptions m_options;
    COppositeSession m_session;
    std::mutex m_lock;
    std::vector<TFrame> m_received;
    std::vector<TFrame> m_sent;
};

// Records what the controller shows and signals; the wait for the stop runs a script.
class CRecordingView : public IMeasurementView {
public:
    std::vector<std::string> messages;
    int waitDialogs = 0;
    int runsEnded = 0;
    bool deviceError = false;
    std::vector<uint32_t> lostTimeouts;
    // The wait dialog's behaviour: true cancels.
    std::function<bool(const std::function<bool()>& stopped)> onWait = [](const auto&) { return true; };
    std::function<void()> onMessage = [] {};

    void Watch(CMeasurementController& controller) {
        QObject::connect(&controller, &CMeasurementSignals::lostTimeoutChanged,
                         [this](uint32_t ms) { lostTimeouts.push_back(ms); });
        QObject::connect(&controller, &CMeasurementSignals::runEnded, [this](bool error) {
            ++runsEnded;
            deviceError = error;
        });
    }

    void ShowMessage(EIcon, const std::string& text) override {
        messages.push_back(text);
        onMessage();
    }
    bool WaitForStopConfirmation(const std::function<bool()>& stopped) override {
        ++waitDialogs;
        return onWait(stopped);
    }
};

class MeasurementControllerTest : public ::testing::Test {
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
        parameters.polling.SetRateCode(4);  // 1 s
        for (int unit = 1; unit <= 3; ++unit) parameters.polling.SetInUse(unit, true);
        parameters.thermocoupleType.fill(1);
        controller = std::make_unique<CMeasurementController>(parameters, view);
        view.Watch(*controller);
    }
    void TearDown() override { controller.reset(); }

    // Listening, the simulator connected, the connect sequence run and the units' information in.
    void Connect(std::vector<std::string> simArgs = {}, bool expectConfigured = true,
                 const std::string& units = "1-3") {
        controller->StartDeviceWatch();
        sim = std::make_unique<CSimulator>(port, simArgs, units);
        if (expectConfigured)
            ASSERT_TRUE(Pump([&] { return controller->IsConnected(); }, 10000));
        else
            ASSERT_TRUE(
                Pump([&] { return controller->IsLinked() && controller->ConnectionAttempted(); }, 10000));
    }

    // Faults of the simulated dongle changed while it is connected.
    void ChangeSimFaults(const std::function<void(COppositeEngine::TOptions&)>& change) {
        sim->Session().WithEngine([&](COppositeEngine& engine) {
            COppositeEngine::TOptions options = engine.Options();
            change(options);
            engine.SetOptions(options);
        });
    }

    uint16_t port = 0;
    VEK::TParameterSet parameters;
    CRecordingView view;
    std::unique_ptr<CMeasurementController> controller;
    std::unique_ptr<CSimulator> sim;
};

TEST_F(MeasurementControllerTest, ConnectSequenceThenUnitInformation) {
    Connect();
    // The reset to idle asks every unit again; the answers clear the requests.
    ASSERT_TRUE(Pump(
        [&] {
            return !controller->PollingSetting().InfoWanted(1) && !controller->PollingSetting().InfoWanted(3);
        },
        5000));
    std::vector<int> commands = sim->ReceivedCommands();
    ASSERT_GE(commands.size(), 4u);
    EXPECT_EQ((std::vector<int>(commands.begin(), commands.begin() + 4)),
              (std::vector<int>{kFwVersion, kPollingSetting, kModeSetting, kPollingSetting}));
    // Receive mode with the system number.
    const TFrame mode = sim->Received()[2];
    EXPECT_EQ(mode[3], 2);
    EXPECT_EQ(mode[4], 5);
    EXPECT_EQ(parameters.firmware.result, 0);
    EXPECT_EQ(controller->StatusText(), "Ready");
    for (int unit = 1; unit <= 3; ++unit) {
        EXPECT_TRUE(controller->Store().UnitInformation(unit).IsPresent()) << unit;
        EXPECT_FALSE(controller->PollingSetting().InfoWanted(unit)) << unit;
    }
    EXPECT_TRUE(controller->PollingSetting().InfoWanted(4));
}

// One row per way the dongle fails the connect sequence; the fault is taken away afterwards.
struct TConnectFault {
    const char* name;
    std::vector<std::string> simArgs;
    size_t modeSettingsPerTry;  // a silent dongle's mode setting is sent again once
};

void PrintTo(const TConnectFault& c, std::ostream* out) {
    *out << c.name;
}

class FailedConnectSequenceTest : public MeasurementControllerTest,
                                  public ::testing::WithParamInterface<TConnectFault> {};

TEST_P(FailedConnectSequenceTest, CountsAsNotConnectedAndIsTriedAgain) {
    const TConnectFault& c = GetParam();
    Connect(c.simArgs, false);
    ASSERT_TRUE(Pump([&] { return sim->CountReceived(kModeSetting) >= c.modeSettingsPerTry; }, 5000));
    EXPECT_FALSE(controller->IsConnected());
    EXPECT_EQ(controller->StatusText(), "Not Ready");
    // The device watch runs the sequence again on the same link.
    const size_t firmwareQueries = sim->CountReceived(kFwVersion);
    ASSERT_TRUE(Pump([&] { return sim->CountReceived(kFwVersion) >= firmwareQueries + 2; }, 8000));
    EXPECT_FALSE(controller->IsConnected());
    // Once the dongle answers it is configured and idle, without being plugged in again.
    ChangeSimFaults([](COppositeEngine::TOptions& options) {
        options.modeError = false;
        options.silentCommands.clear();
    });
    ASSERT_TRUE(Pump([&] { return controller->IsConnected(); }, 15000));
    EXPECT_EQ(controller->StatusText(), "Ready");
    EXPECT_TRUE(Pump([&] { return controller->Store().UnitInformation(3).IsPresent(); }, 5000));
}

TEST_P(FailedConnectSequenceTest, StartIsRefused) {
    const TConnectFault& c = GetParam();
    Connect(c.simArgs, false);
    ASSERT_TRUE(Pump([&] { return sim->CountReceived(kModeSetting) >= c.modeSettingsPerTry; }, 5000));
    EXPECT_LT(controller->StartMeasurement(TRunOptions{.reportFailure = false}), 0);
    EXPECT_EQ(controller->RunState(), CMeasurementDataManager::kStateEmpty);
    for (const TFrame& frame : sim->Received()) {
        // Rate code 0 and no unit in use: polling stays off.
        if (frame[2] == kPollingSetting) {
            EXPECT_EQ(frame[5], 0);
        }
    }
    EXPECT_FALSE(controller->KeepAwakeRequested());
}

INSTANTIATE_TEST_SUITE_P(Faults, FailedConnectSequenceTest,
                         ::testing::Values(TConnectFault{"ModeError", {"--mode-error"}, 1},
                                           TConnectFault{"SilentToModeSetting", {"--silent", "0x0F"}, 2}),
                         [](const ::testing::TestParamInfo<TConnectFault>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(MeasurementControllerTest, ReconnectsWhenTheSimulatorComesBack) {
    Connect();
    ASSERT_TRUE(Pump([&] { return controller->Store().UnitInformation(1).IsPresent(); }, 5000));
    sim.reset();
    ASSERT_TRUE(Pump([&] { return !controller->IsConnected(); }, 5000));
    Wait(200);
    EXPECT_EQ(parameters.firmware.result, 1);
    EXPECT_FALSE(controller->Store().UnitInformation(1).IsPresent());
    EXPECT_TRUE(controller->PollingSetting().InfoWanted(1));
    EXPECT_EQ(controller->StatusText(), "Not Ready");

    sim = std::make_unique<CSimulator>(port, std::vector<std::string>{});
    ASSERT_TRUE(Pump([&] { return controller->IsConnected(); }, 10000));
    EXPECT_TRUE(Pump([&] { return controller->Store().UnitInformation(1).IsPresent(); }, 5000));
}

// One row per answer of the dongle to polling off in the stop sequence.
struct TStopCase {
    const char* name;
    std::vector<std::string> simArgs;
    bool refusePollingOff;    // polling settings are answered with an error once connected
    bool noticeDuringDialog;  // the dongle confirms only once the dialog is open
    int limitMs;              // > 0: the wait is limited to this (a quit signal)
    bool limitDuringDialog;   // the signal comes while the dialog is open
    int dialogs;
    size_t standbyModes;  // mode settings with standby after the stop sequence began
    bool forcedStopLogged;
};

void PrintTo(const TStopCase& c, std::ostream* out) {
    *out << c.name;
}

class StopHandshakeTest : public MeasurementControllerTest,
                          public ::testing::WithParamInterface<TStopCase> {};

TEST_P(StopHandshakeTest, StandbyFollowsTheConfirmation) {
    const TStopCase& c = GetParam();
    Connect(c.simArgs);
    Wait(300);
    if (c.refusePollingOff)
        ChangeSimFaults([](COppositeEngine::TOptions& options) { options.pollingError = true; });
    if (c.noticeDuringDialog) {
        view.onWait = [&](const std::function<bool()>& stopped) {
            sim->Session().SendStopNotice();
            return !Pump(stopped, 5000);
        };
    }
    if (c.limitMs > 0 && c.limitDuringDialog) {
        // Nobody presses Cancel: the dialog closes by itself at the limit.
        view.onWait = [&](const std::function<bool()>& stopped) {
            controller->LimitStopWait(std::chrono::milliseconds(c.limitMs));
            return !Pump(stopped, 5000);
        };
    } else if (c.limitMs > 0) {
        controller->LimitStopWait(std::chrono::milliseconds(c.limitMs));
    }
    const size_t before = sim->Received().size();
    const bool confirmed = controller->RunStopSequence();
    EXPECT_EQ(confirmed, !c.forcedStopLogged);
    Wait(300);
    EXPECT_EQ(view.waitDialogs, c.dialogs);
    std::vector<TFrame> frames = sim->Received();
    size_t standby = 0;
    for (size_t i = before; i < frames.size(); ++i)
        standby += frames[i][2] == kModeSetting && frames[i][3] == 0 && frames[i][4] == 5;
    EXPECT_EQ(standby, c.standbyModes);
    const TStopFlags flags = controller->StopFlags();
    EXPECT_TRUE(flags.done);
    EXPECT_FALSE(flags.pending);
    // The log is written by its own thread: look a little while.
    const std::string log = VEK::LogFilePath();
    const bool logged = Pump(
        [&] {
            return testing_support::ReadFile(log).find("測定停止処理を強制停止しました。") !=
                   std::string::npos;
        },
        c.forcedStopLogged ? 5000 : 300);
    EXPECT_EQ(logged, c.forcedStopLogged);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, StopHandshakeTest,
    ::testing::Values(TStopCase{"InTime", {"--auto-stop-notice"}, false, false, 0, false, 0, 1, false},
                      TStopCase{"Late", {}, false, true, 0, false, 1, 1, false},
                      TStopCase{"NeverThenCancel", {}, false, false, 0, false, 1, 1, true},
                      TStopCase{"PollingOffRefused", {}, true, false, 0, false, 0, 0, false},
                      TStopCase{"NeverWithTheWaitLimited", {}, false, false, 1500, false, 0, 1, true},
                      TStopCase{"NeverLimitedWhileTheDialogIsOpen", {}, false, false, 300, true, 1, 1, true}),
    [](const ::testing::TestParamInfo<TStopCase>& info) { return std::string(info.param.name); });

TEST_F(MeasurementControllerTest, StopTimeInThePastEndsAtTheFirstTick) {
    Connect();
    EXPECT_EQ(view.lostTimeouts.back(), 12000u);
    const VEK::CSystemTime past = VEK::CSystemTime::Now().AddMilliseconds(-3600 * 1000);
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{.stopTime = past}), 0);
    EXPECT_EQ(view.lostTimeouts.back(), 5000u);  // five periods of 1 s
    // The remaining time never goes below zero.
    EXPECT_EQ(controller->StatusText(), "Measuring\nRemaining Time: 0:00:00");
    EXPECT_TRUE(controller->KeepAwakeRequested());
    ASSERT_TRUE(Pump([&] { return view.runsEnded == 1; }, 5000));
    EXPECT_EQ(controller->RunState(), CMeasurementDataManager::kStateHolding);
    EXPECT_FALSE(controller->KeepAwakeRequested());
    EXPECT_EQ(view.lostTimeouts.back(), 0u);
}

// A report of the previous run arriving after the start is dropped, never filed at record 0, and
// the log counts it when the run ends.
TEST_F(MeasurementControllerTest, LateReportIsDroppedAndCountedInTheLog) {
    Connect();
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{}), 0);
    // Unit 1's report of sequence 200 with one sample at 50 degC.
    Deliver(DataReceivedEvent({3, 1, 90, 1, 200, 0x19, 0x00, 0, 0, 0}), controller->Listener());
    controller->FinishMeasurement();
    EXPECT_EQ(controller->Store().DroppedSamples(), 1u);
    EXPECT_NE(CMeasurementDataManager::GetReading(controller->Store().Channel(1), 0), 500);
    const std::string log = VEK::LogFilePath();
    EXPECT_TRUE(Pump(
        [&] {
            return testing_support::ReadFile(log).find("記録位置を決められないサンプルを1個破棄しました。") !=
                   std::string::npos;
        },
        5000));
}

// The last run's record clock runs on after its finish; whatever it sent must not count for the
// next run: every sampling tick of a run stands for a record position of that run.
TEST_F(MeasurementControllerTest, NewRunNeverSeesTheLastRunsClock) {
    parameters.polling.SetRateCode(1);  // 100 ms
    Connect();
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{}), 0);
    Wait(300);
    controller->FinishMeasurement();
    // The window thread busy for a few periods: the old clock's ticks wait in its queue.
    std::this_thread::sleep_for(std::chrono::milliseconds(350));
    uint32_t ticks = 0;
    uint32_t ticksAhead = 0;
    QObject::connect(controller.get(), &CMeasurementSignals::samplingTick, [&] {
        ++ticks;
        ticksAhead += ticks > controller->Store().RecordsThisRun();
    });
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{}), 0);
    Wait(1000);
    EXPECT_EQ(ticksAhead, 0u);
    EXPECT_GE(ticks, 5u);
}

TEST_F(MeasurementControllerTest, LostChannelIsAskedAgainOnlyWhileIdle) {
    Connect();
    ASSERT_TRUE(Pump([&] { return !controller->PollingSetting().InfoWanted(2); }, 5000));
    controller->PostChannelLost(2);
    ASSERT_TRUE(Pump([&] { return controller->PollingSetting().InfoWanted(2); }, 2000));
    EXPECT_FALSE(controller->Store().UnitInformation(2).IsPresent());
    // The next polling setting (at the latest the 10 s information refresh) asks the unit again.
    ASSERT_TRUE(Pump([&] { return !controller->PollingSetting().InfoWanted(2); }, 12000));
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{}), 0);
    controller->PostChannelLost(2);
    Wait(300);
    EXPECT_FALSE(controller->PollingSetting().InfoWanted(2));
    EXPECT_TRUE(controller->Store().UnitInformation(2).IsPresent());
}

// The window reads a data file into a store of its own; the controller takes it.
void LoadAndAdopt(CMeasurementController& controller, const std::string& path) {
    CMeasurementDataManager loaded;
    VEK::TDataFileView fileView;
    ASSERT_TRUE(VEK::LoadDataFile(path, loaded, fileView, TMeasurementSetup{})) << path;
    controller.AdoptLoadedData(loaded);
}

TEST_F(MeasurementControllerTest, LoadedDataReplaceTheData) {
    Connect();
    const std::string dataFile = testing_support::TestHome() + "/saved.csv";
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{.dataFile = dataFile}), 0);
    ASSERT_TRUE(Pump([&] { return controller->Store().RecordCount() >= 2; }, 10000));
    controller->FinishMeasurement();
    const uint32_t records = controller->Store().RecordCount();
    controller->ResetToIdle();

    LoadAndAdopt(*controller, dataFile);
    EXPECT_EQ(controller->RunState(), CMeasurementDataManager::kStateHolding);
    EXPECT_EQ(controller->Store().RecordCount(), records);
    EXPECT_FALSE(controller->HasUnsavedRun());

    // A later run without a data file is saved nowhere, whatever the data before were saved as.
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{}), 0);
    controller->FinishMeasurement();
    EXPECT_TRUE(controller->HasUnsavedRun());
}

TEST_F(MeasurementControllerTest, NewSystemNumberAfterStopAndDetach) {
    Connect({"--auto-stop-notice"});
    controller->RunStopSequence();
    parameters.systemNumber = 7;
    controller->DetachDongle();
    EXPECT_FALSE(controller->ConnectionAttempted());
    ASSERT_TRUE(Pump([&] { return controller->IsConnected(); }, 10000));
    const std::vector<TFrame> frames = sim->Received();
    const TFrame* lastMode = nullptr;
    for (const TFrame& frame : frames)
        if (frame[2] == kModeSetting)
            lastMode = &frame;
    ASSERT_NE(lastMode, nullptr);
    EXPECT_EQ((*lastMode)[3], 2);  // receive mode
    EXPECT_EQ((*lastMode)[4], 7);
}

TEST_F(MeasurementControllerTest, ShortMeasurementHasNoWorkingFile) {
    Connect();
    IShortMeasurementExecutable& shortRun = *controller;
    shortRun.Execute(false);  // not measuring: nothing
    EXPECT_EQ(controller->RunState(), CMeasurementDataManager::kStateEmpty);
    shortRun.Execute(true);
    ASSERT_EQ(controller->RunState(), CMeasurementDataManager::kStateMeasuring);
    EXPECT_TRUE(controller->WorkingFilePath().empty());
    EXPECT_TRUE(controller->KeepAwakeRequested());
    const size_t pollingSettings = sim->CountReceived(kPollingSetting);
    shortRun.Execute(true);  // already measuring: nothing
    EXPECT_EQ(sim->CountReceived(kPollingSetting), pollingSettings);
    shortRun.Execute(false);
    EXPECT_EQ(controller->RunState(), CMeasurementDataManager::kStateHolding);
    EXPECT_FALSE(controller->KeepAwakeRequested());
    EXPECT_EQ(view.runsEnded, 1);
}

// The working file of a run saved nowhere is its only copy: a short measurement after it leaves
// it as it is, and so does the exit.
TEST_F(MeasurementControllerTest, ShortMeasurementKeepsTheLastRunsWorkingFile) {
    Connect();
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{}), 0);
    ASSERT_TRUE(Pump([&] { return controller->Store().RecordCount() >= 2; }, 10000));
    controller->FinishMeasurement();
    const std::string working = controller->WorkingFilePath();
    const std::string rows = testing_support::ReadFile(working);
    ASSERT_FALSE(rows.empty());

    IShortMeasurementExecutable& shortRun = *controller;
    shortRun.Execute(true);
    ASSERT_TRUE(Pump([&] { return controller->Store().RecordCount() >= 2; }, 10000));
    shortRun.Execute(false);
    EXPECT_EQ(testing_support::ReadFile(working), rows);
    controller->Shutdown();
    EXPECT_EQ(testing_support::ReadFile(working), rows);
}

// The short measurement has no working file of its own: a run saved before it stays saved, and
// its working file goes at exit as a saved run's does.
TEST_F(MeasurementControllerTest, ShortMeasurementLeavesASavedRunSaved) {
    Connect();
    const std::string dataFile = testing_support::TestHome() + "/saved-run.csv";
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{.dataFile = dataFile}), 0);
    ASSERT_TRUE(Pump([&] { return controller->Store().RecordCount() >= 2; }, 10000));
    controller->FinishMeasurement();
    ASSERT_FALSE(controller->HasUnsavedRun());
    const std::string working = controller->WorkingFilePath();
    ASSERT_TRUE(testing_support::FileExists(working));

    IShortMeasurementExecutable& shortRun = *controller;
    shortRun.Execute(true);
    ASSERT_TRUE(Pump([&] { return controller->Store().RecordsThisRun() >= 2; }, 10000));
    shortRun.Execute(false);
    EXPECT_FALSE(controller->HasUnsavedRun());
    controller->Shutdown();
    EXPECT_FALSE(testing_support::FileExists(working));
}

TEST_F(MeasurementControllerTest, FailedStartLeavesNoWorkingFileAndNoKeepAwake) {
    Connect();
    ChangeSimFaults([](COppositeEngine::TOptions& options) { options.pollingError = true; });
    EXPECT_LT(controller->StartMeasurement(TRunOptions{}), 0);
    EXPECT_FALSE(controller->KeepAwakeRequested());
    EXPECT_TRUE(controller->WorkingFilePath().empty());
    EXPECT_EQ(controller->RunState(), CMeasurementDataManager::kStateEmpty);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], "Failed to start measurement.");
}

// A 22-byte information report of the unit, with battery 3 and version "1.23".
std::vector<uint8_t> InformationReport(uint8_t unit) {
    std::vector<uint8_t> report{kInformationReport, unit, 3, '1', '.', '2', '3'};
    report.resize(22);
    return report;
}

TEST_F(MeasurementControllerTest, InformationBurstResendsOnceAtOnceAndOnceAfter) {
    controller->StartDeviceWatch();
    sim = std::make_unique<CSimulator>(port, std::vector<std::string>{}, "1-25", false);
    ASSERT_TRUE(Pump([&] { return controller->IsConnected(); }, 10000));
    Wait(1000);  // the reset's own re-send
    const size_t before = sim->CountReceived(kPollingSetting);
    for (uint8_t unit = 1; unit <= 25; ++unit) {
        Deliver(DataReceivedEvent(InformationReport(unit)), controller->Listener());
    }
    // One re-send right after the 21st report, the next only once the burst has been quiet.
    ASSERT_TRUE(Pump([&] { return sim->CountReceived(kPollingSetting) >= before + 1; }, 2000));
    EXPECT_EQ(sim->CountReceived(kPollingSetting), before + 1);
    ASSERT_TRUE(Pump([&] { return sim->CountReceived(kPollingSetting) >= before + 2; }, 2000));
    Wait(1000);
    EXPECT_EQ(sim->CountReceived(kPollingSetting), before + 2);
}

TEST_F(MeasurementControllerTest, InformationReportsOutsideTheUnitsAreDropped) {
    for (uint8_t unit : {0, 1, 101, 255}) {
        Deliver(DataReceivedEvent(InformationReport(unit)), controller->Listener());
    }
    Wait(100);
    EXPECT_TRUE(controller->Store().UnitInformation(1).IsPresent());
    EXPECT_EQ(controller->Store().UnitInformation(1).Battery(), 3);
    EXPECT_FALSE(controller->PollingSetting().InfoWanted(1));
    for (int unit = 2; unit <= 100; ++unit)
        EXPECT_FALSE(controller->Store().UnitInformation(unit).IsPresent());
}

TEST_F(MeasurementControllerTest, DeviceErrorSavesBeforeItSaysSo) {
    Connect();
    const std::string dataFile = testing_support::TestHome() + "/run.csv";
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{.dataFile = dataFile}), 0);
    const std::string working = controller->WorkingFilePath();
    ASSERT_TRUE(testing_support::FileExists(working));
    ASSERT_TRUE(Pump([&] { return controller->Store().RecordCount() >= 2; }, 10000));
    bool savedAtMessage = false;
    view.onMessage = [&] { savedAtMessage = testing_support::FileExists(dataFile); };
    sim.reset();
    ASSERT_TRUE(Pump([&] { return view.runsEnded == 1; }, 5000));
    EXPECT_TRUE(view.deviceError);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], "Stopped measurement because DEVICE ERROR occurred.");
    EXPECT_TRUE(savedAtMessage);
    EXPECT_EQ(controller->RunState(), CMeasurementDataManager::kStateHolding);
    EXPECT_FALSE(controller->KeepAwakeRequested());
    EXPECT_FALSE(controller->HasUnsavedRun());
    // The working file got its final rows: as many as the run's records, after the 14 header lines.
    const std::string rows = testing_support::ReadFile(working);
    size_t lines = 0;
    for (size_t at = rows.find("\r\n"); at != std::string::npos; at = rows.find("\r\n", at + 2)) ++lines;
    EXPECT_GE(lines, 14 + controller->Store().RecordCount());
}

// Twenty channels at 100 ms with jitter and failing reports: every reading the simulator sent
// before polling went off is in the saved file. (A shortened soak: about 12 s.)
TEST_F(MeasurementControllerTest, FastRunKeepsEveryReadingSent) {
    parameters.polling = TPollingSetting::Fresh();
    parameters.polling.SetRateCode(1);
    for (int unit = 1; unit <= 20; ++unit) parameters.polling.SetInUse(unit, true);
    Connect({"--jitter", "40", "--failure-rate", "15"}, true, "1-20");
    const std::string dataFile = testing_support::TestHome() + "/fast.csv";
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{.dataFile = dataFile}), 0);
    Wait(12000);
    controller->FinishMeasurement();
    ASSERT_EQ(controller->RunState(), CMeasurementDataManager::kStateHolding);

    CMeasurementDataManager loaded;
    VEK::TDataFileView view;
    ASSERT_TRUE(VEK::LoadDataFile(dataFile, loaded, view, TMeasurementSetup()));
    const uint32_t records = loaded.RecordCount();
    EXPECT_GT(records, 100u);
    size_t checked = 0;
    for (const TFrame& frame : sim->Sent()) {
        // STX, LEN, the event's code, pipe, flag, then the report: kind, unit, battery, samples,
        // sequence.
        if (frame.size() < 10 || frame[2] != kDataReceivedEvent || frame[5] != kMeasurementReport)
            continue;
        const int unit = frame[6];
        const int samples = frame[8] & 0x0F;
        for (int k = 0; k < samples; ++k) {
            const uint32_t index = static_cast<uint32_t>(frame[9] + k);
            if (index >= records)
                continue;
            ++checked;
            EXPECT_TRUE(IsValidReading(CMeasurementDataManager::GetReading(loaded.Channel(unit), index)))
                << "unit " << unit << " record " << index;
        }
    }
    EXPECT_GT(checked, 20u * 100u);
}

std::string AdjustOffsetLine(const std::string& dataFile) {
    const std::string text = testing_support::ReadFile(dataFile);
    size_t start = 0;
    for (int line = 0; line < 11 && start != std::string::npos; ++line) {
        start = text.find("\r\n", start);
        start = start == std::string::npos ? start : start + 2;
    }
    return start == std::string::npos ? std::string() : text.substr(start, text.find("\r\n", start) - start);
}

// Unit 1 reads 0.5 mV above units 2 and 3: its offset of 65536 counts makes it store what they
// store, shown in blue. Every run's data file marks exactly the table's channels when it started,
// whatever a file loaded before it marked.
TEST_F(MeasurementControllerTest, OffsetsCorrectTheReadingsAndMarkTheirChannels) {
    Connect({"--thermo", "1=0x10000"});
    VEK::TOffsetTable& table = controller->OffsetTable();
    table.entries[2] = {true, true, 0};
    table.entries[3] = {true, true, 0};
    const std::string marked = testing_support::TestHome() + "/marked.csv";
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{.dataFile = marked}), 0);
    ASSERT_TRUE(Pump([&] { return controller->Store().RecordCount() >= 2; }, 10000));
    controller->FinishMeasurement();
    EXPECT_EQ(AdjustOffsetLine(marked), ",,ADJUST OFFSET,,*,*");
    LoadAndAdopt(*controller, marked);
    EXPECT_EQ(controller->Store().AdjustedChannels(), (std::vector<uint32_t>{2, 3}));

    table.entries[2] = {};
    table.entries[3] = {false, true, 0};  // data, but not in use
    table.entries[1] = {true, true, 65536.9};
    std::map<int, bool> adjusted;
    QObject::connect(controller.get(), &CMeasurementSignals::channelValueChanged,
                     [&](int channel, TChannelValue value) {
                         if (value.kind == TChannelValue::EKind::kReading)
                             adjusted[channel] = value.adjusted;
                     });
    const std::string corrected = testing_support::TestHome() + "/corrected.csv";
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{.dataFile = corrected}), 0);
    ASSERT_TRUE(Pump([&] { return controller->Store().RecordCount() >= 3 && adjusted.size() == 3; }, 10000));
    controller->FinishMeasurement();
    EXPECT_EQ(AdjustOffsetLine(corrected), ",,ADJUST OFFSET,*,,");
    EXPECT_EQ(adjusted, (std::map<int, bool>{{1, true}, {2, false}, {3, false}}));
    const CMeasurementDataManager& store = controller->Store();
    for (uint32_t record = 0; record + 1 < store.RecordCount(); ++record) {
        EXPECT_EQ(CMeasurementDataManager::GetReading(store.Channel(1), record), 250) << record;
        EXPECT_EQ(CMeasurementDataManager::GetReading(store.Channel(2), record), 250) << record;
    }
}

// While a capture is set, the units' reports reach it as they came and the store takes none.
TEST_F(MeasurementControllerTest, CaptureTakesTheReportsInsteadOfTheStore) {
    Connect({"--thermo", "2=0x10000"});
    VEK::TOffsetTable& table = controller->OffsetTable();
    table.entries[2] = {true, true, 1000};  // no correction while capturing
    VEK::COffsetCapture capture(table);
    controller->SetOffsetCapture(&capture);
    capture.Open(VEK::COffsetCapture::kAllRow);
    IShortMeasurementExecutable& shortRun = *controller;
    shortRun.Execute(true);
    ASSERT_TRUE(Pump([&] { return capture.PendingCount() == 97; }, 10000));
    capture.Close();
    controller->SetOffsetCapture(nullptr);
    shortRun.Execute(false);
    EXPECT_EQ(table.entries[1].offset, 0);
    EXPECT_EQ(table.entries[2].offset, 0x10000);
    EXPECT_TRUE(table.entries[4].Unanswered());
    for (int channel = 1; channel <= 3; ++channel)
        EXPECT_EQ(controller->Store().Channel(channel).ReadingCount(), 0u) << channel;
}

}  // namespace
