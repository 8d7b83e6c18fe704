#pragma once
// The main window against the simulated dongle in the same process, as hollowmere --simulate
// runs it, with every box and dialog answered by the test's script.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QSpinBox>
#include <QTimeEdit>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sstream>

#include "app/MainDlg.h"
#include "app/SimulatedDongle.h"
#include "controller/LoopbackTestHelpers.h"
#include "dialogs/MeasurementDlg.h"
#include "dialogs/ScriptedOperatorPrompt.h"
#include "dialogs/SetupDlg.h"
#include "display/TestApplication.h"
#include "support/TestHome.h"

class CMainDlgFixture : public ::testing::Test {
protected:
    using TFrame = std::vector<int>;

    static void SetUpTestSuite() { EnsureTestApplication(); }
    void SetUp() override {
        testing_support::ResetTestHome();
        WriteSettings(LastOneSettings());
        sim = std::make_unique<CSimulatedDongle>(SimulatorOptions());
        sim->Session().SetTrace([this](const std::string& line) {
            std::lock_guard lock(traceLock);
            if (line.rfind("<- ", 0) != 0)
                return;
            std::stringstream stream(line.substr(3));
            TFrame frame;
            for (std::string hex; stream >> hex;) frame.push_back(std::stoi(hex, nullptr, 16));
            received.push_back(frame);
        });
        dialog = std::make_unique<CMainDlg>(&prompt);
        dialog->Controller().SetTransport(CSimulatedDongle::Transport());
        ASSERT_TRUE(dialog->InitDialog());
        ASSERT_TRUE(sim->Start(dialog->Controller().TcpServerPort()));
        dialog->resize(861, 600);
        dialog->show();
        ASSERT_TRUE(Pump([&] { return dialog->Controller().IsConnected(); }, 10000));
    }
    void TearDown() override {
        dialog->OnDestroy();
        sim->Stop();
    }

public:
    static std::string SetupFolder() {
        return testing_support::TestHome() + "/Documents/Quillmark/Brisquent/Setup";
    }
    static void WriteSettings(const std::string& lastone) {
        testing_support::WriteFile(SetupFolder() + "/lastone.ini", lastone);
        testing_support::WriteFile(SetupFolder() + "/define.ini", "[parameter]\r\n");
    }
    // Answers the setup dialog with a system number and OK; other dialogs are cancelled.
    static std::function<int(QDialog&)> SystemNumberAnswer(uint32_t number) {
        return [number](QDialog& dialog) {
            auto* setup = qobject_cast<CSetupDlg*>(&dialog);
            if (setup == nullptr)
                return static_cast<int>(QDialog::Rejected);
            auto* numbers = setup->findChild<QComboBox*>("1035");
            numbers->setCurrentIndex(numbers->findData(static_cast<int>(number)));
            setup->findChild<QAbstractButton*>("1")->click();
            return setup->result();
        };
    }

protected:
    // lastone.ini and the simulator's options (hollowmere-sim's) of the test.
    virtual std::string LastOneSettings() const {
        return "[user]\r\nsystem-no=5\r\nsample-intvl=1sec\r\nchpt1=ON,K,\"\"\r\nchpt2=ON,K,\"\"\r\n"
               "chpt3=ON,K,\"\"\r\n";
    }
    virtual std::vector<std::string> SimulatorOptions() const {
        return {"--units", "1-3", "--sensor", "800", "--auto-info", "--auto-stop-notice"};
    }
    template <typename T = QWidget>
    T* Control(int id) const {
        T* control = dialog->findChild<T*>(QString::number(id));
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    void Click(int id) const { Control<QAbstractButton>(id)->click(); }
    void Trigger(int command) const { dialog->Controls().Action(command)->trigger(); }
    int RunState() const { return dialog->Controller().RunState(); }
    CMeasurementDataManager& Store() const { return dialog->Controller().Store(); }
    std::vector<TFrame> Received() {
        std::lock_guard lock(traceLock);
        return received;
    }
    // A frame received whose bytes begin with these.
    bool ReceivedFrame(const TFrame& prefix) {
        for (const TFrame& frame : Received())
            if (frame.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), frame.begin()))
                return true;
        return false;
    }
    // Saves the window as build/screens/<name>.png.
    void Screenshot(const std::string& name) const {
        QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
        QCoreApplication::sendPostedEvents();  // pending layout requests
        EXPECT_TRUE(
            dialog->grab().save(QString::fromStdString(std::string(HOLLOWMERE_SCREENS_DIR) + "/" + name)));
    }

    std::string DataPath(const std::string& name) const { return testing_support::TestHome() + "/" + name; }

    // The start dialog's answer: stop at (a time), automatic save to (a file), both optional.
    void AnswerStartDialog(std::optional<QDateTime> stopAt, std::string file) {
        prompt.onChooseFile = [file](const IOperatorPrompt::TFileRequest&) {
            return std::optional<std::string>(file);
        };
        prompt.onRun = [stopAt, file](QDialog& dialog) {
            auto* start = qobject_cast<CMeasurementDlg*>(&dialog);
            if (start == nullptr)
                return static_cast<int>(QDialog::Rejected);
            if (stopAt) {
                start->findChild<QCheckBox*>("1058")->click();
                start->findChild<QDateEdit*>("1060")->setDate(stopAt->date());
                start->findChild<QTimeEdit*>("1061")->setTime(stopAt->time());
            }
            if (!file.empty()) {
                start->findChild<QCheckBox*>("1059")->click();
                start->findChild<QAbstractButton*>("1042")->click();
            }
            start->findChild<QAbstractButton*>("1")->click();
            return start->result();
        };
    }
    // A run of a record or more, stopped with the Stop button; finished data saved nowhere.
    void MeasureAndStop() {
        AnswerStartDialog(std::nullopt, "");
        Click(CMainDlgControls::kStartStop);
        ASSERT_EQ(RunState(), CMeasurementDataManager::kStateMeasuring);
        // An uneven end drops the last second's records: more than one is needed.
        ASSERT_TRUE(Pump([&] { return Store().RecordCount() >= 3; }, 10000));
        prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
        Click(CMainDlgControls::kStartStop);
        ASSERT_EQ(RunState(), CMeasurementDataManager::kStateHolding);
    }

    CScriptedOperatorPrompt prompt;
    std::unique_ptr<CSimulatedDongle> sim;
    std::mutex traceLock;
    std::vector<TFrame> received;
    std::unique_ptr<CMainDlg> dialog;
};
