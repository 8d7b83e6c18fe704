// The operator's commands of the command sequence, each with its random choices and answers.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimeEdit>
#include <array>
#include <chrono>
#include <filesystem>

#include "CommandSequence.h"
#include "SequenceChecks.h"
#include "dialogs/AdjustOffsetDlg.h"
#include "dialogs/MeasurementDlg.h"
#include "dialogs/SetupDlg.h"
#include "dialogs/SetupListView.h"
#include "display/RowHeaderCtrl.h"
#include "support/TestHome.h"

namespace {

using Ids = CMainDlgControls;
using EState = CMeasurementDataManager::EState;
using VEK::MFC::CScrollBarEx;

QAbstractButton* ButtonOf(QDialog& dialog, const char* id) {
    return dialog.findChild<QAbstractButton*>(QString::fromLatin1(id));
}

// Checks or clears a box as a click does.
void SetBox(QDialog& dialog, const char* id, bool checked) {
    auto* box = dialog.findChild<QCheckBox*>(QString::fromLatin1(id));
    if (box->isChecked() != checked)
        box->click();
}

}  // namespace

void CCommandSequence::Start() {
    if (m_world.Store().State() == EState::kStateMeasuring) {
        StartStop();
        return;
    }
    // Each run at other temperatures (1/32 degC: 10, 25, 50 and 80 degC), so runs and files differ.
    const int32_t sensor = std::array{320, 800, 1600, 2560}[static_cast<size_t>(Pick(4))];
    m_world.Sim().Session().WithEngine([sensor](COppositeEngine& engine) {
        for (int unit = 1; unit <= CSequenceWorld::kUnits; ++unit)
            engine.Units().Unit(unit).sensor = sensor + unit * 40;
    });
    const int condition = Pick(5);
    const int stopInMs = condition == 3 ? 1000 + Pick(2000) : 0;
    const bool autoSave = condition == 4;
    if (autoSave)
        m_fileToChoose = CSequenceWorld::TestFile("auto-" + std::to_string(++m_savedFiles) + ".csv");
    Note(" at " + std::to_string(sensor / 32) + " degC" +
         (stopInMs ? ", stop in " + std::to_string(stopInMs) + " ms" : "") +
         (autoSave ? ", saved to " + *m_fileToChoose : ""));
    m_dialog = [stopInMs, autoSave](QDialog& dialog) {
        if (qobject_cast<CMeasurementDlg*>(&dialog) == nullptr)
            return static_cast<int>(QDialog::Rejected);
        SetBox(dialog, "1057", false);
        SetBox(dialog, "1058", stopInMs != 0);
        if (stopInMs != 0) {
            const QDateTime at = QDateTime::currentDateTime().addMSecs(stopInMs);
            dialog.findChild<QDateEdit*>("1060")->setDate(at.date());
            dialog.findChild<QTimeEdit*>("1061")->setTime(at.time());
        }
        SetBox(dialog, "1059", autoSave);
        if (autoSave)
            ButtonOf(dialog, "1042")->click();
        ButtonOf(dialog, "1")->click();
        return dialog.result();
    };
    Click(Ids::kStartStop);
    if (m_world.Store().State() == EState::kStateMeasuring) {
        m_runDataFile = autoSave ? *m_fileToChoose : std::string();
        const std::string working = m_world.Window().Controller().WorkingFilePath();
        Note(" -> " + working.substr(working.find_last_of('/') + 1));
    }
    if (autoSave)
        m_dataFiles.push_back(*m_fileToChoose);
}

void CCommandSequence::StartStop() {
    // Stops a run (asked first); otherwise the discard question and the start dialog, cancelled.
    Note(m_world.Store().State() == EState::kStateMeasuring ? " stop" : " start cancelled");
    Click(Ids::kStartStop);
}

void CCommandSequence::WaitForRecords() {
    const int ms = 100 + Pick(400);
    Note(" " + std::to_string(ms) + " ms");
    CSequenceWorld::Wait(ms);
}

void CCommandSequence::SaveData() {
    const std::string path = CSequenceWorld::TestFile("saved-" + std::to_string(++m_savedFiles) + ".csv");
    m_fileToChoose = path;
    Trigger(Ids::kSaveData);
    if (std::find(m_told.begin(), m_told.end(), "Finished saving data to the file.") == m_told.end())
        return;
    m_dataEdited = true;
    m_undecided.reset();
    m_dataFiles.push_back(path);
    const std::string difference = sequence_checks::CompareWithFile(m_world.Store(), path);
    if (!difference.empty())
        m_violations.push_back(difference);
}

void CCommandSequence::LoadData() {
    m_fileToChoose = m_dataFiles[static_cast<size_t>(Pick(static_cast<int>(m_dataFiles.size())))];
    Note(" " + m_fileToChoose->substr(m_fileToChoose->find_last_of('/') + 1));
    Trigger(Ids::kLoadData);
}

void CCommandSequence::ClearAllData() {
    Trigger(Ids::kClearAllData);
}

void CCommandSequence::DeleteBefore() {
    PlaceCursor();
    Trigger(Ids::kDeleteBefore);
    m_dataEdited = true;
}

void CCommandSequence::DeleteAfter() {
    PlaceCursor();
    Trigger(Ids::kDeleteAfter);
    m_dataEdited = true;
}

void CCommandSequence::PlaceCursor() {
    // Mostly as the operator deletes: the cursor put on and placed first, so the deletions
    // happen often enough to meet every way the data came (a run, a loaded file, a deletion).
    if (!Chance(0.8))
        return;
    if (!m_world.Graph().CursorOn() && m_world.Window().Controls().Button(1010)->isEnabled()) {
        Note(" CURSOR");
        Cursor();
    }
    if (m_world.Graph().CursorOn())
        ClickGraph();
}

void CCommandSequence::Setup() {
    const uint32_t number = m_world.Window().ParameterSet().systemNumber;
    const uint32_t newNumber = Chance(0.4) ? 5 + (number - 4) % 5 : number;
    const int rate = std::array{1, 3, 4}[static_cast<size_t>(Pick(3))];
    const bool fahrenheit = Chance(0.3);
    const int toggled = Chance(0.3) ? 1 + Pick(CSequenceWorld::kChannels) : 0;
    Note(std::string(newNumber != number ? " new" : " same") + " system number " + std::to_string(newNumber) +
         ", rate " + std::to_string(rate) + (fahrenheit ? ", deg F" : ", deg C") +
         (toggled ? ", channel " + std::to_string(toggled) + " toggled" : ""));
    m_dialog = [=](QDialog& dialog) {
        auto* setup = qobject_cast<CSetupDlg*>(&dialog);
        if (setup == nullptr)
            return static_cast<int>(QDialog::Rejected);
        setup->show();
        auto* numbers = setup->findChild<QComboBox*>("1035");
        numbers->setCurrentIndex(numbers->findData(static_cast<int>(newNumber)));
        auto* rates = setup->findChild<QComboBox*>("1034");
        rates->setCurrentIndex(rates->findData(rate));
        setup->findChild<QRadioButton*>(fahrenheit ? "1077" : "1076")->click();
        if (toggled != 0) {
            auto* list = setup->findChild<CSetupListView*>("1039");
            const QModelIndex cell = list->model()->index(toggled, 0);
            list->scrollTo(cell);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
        }
        ButtonOf(*setup, "1")->click();
        return setup->result();
    };
    Trigger(Ids::kSetup);
    if (m_world.Window().ParameterSet().systemNumber == number)
        return;
    // The dongle comes back within seconds (never, without one); what is shown holds at once, and
    // the next commands go on without waiting for it.
    Note(m_world.Window().Controller().IsConnected() ? "" : " (dongle away)");
}

void CCommandSequence::ExportAndImportSetup() {
    m_fileToChoose = CSequenceWorld::TestFile("setup.set");
    if (!testing_support::FileExists(*m_fileToChoose) || Chance(0.5)) {
        Note(" export");
        Trigger(Ids::kExportSetup);
        return;
    }
    Note(" import");
    Trigger(Ids::kImportSetup);
}

void CCommandSequence::ToggleDisplayMode() {
    Trigger(Ids::kGraphDisplay);
}

void CCommandSequence::ListsAndPages() {
    CMainDlg& window = m_world.Window();
    switch (Pick(3)) {
        case 0: {
            const int index = Pick(3);
            Note(" " + std::to_string(1 << index) + " lists");
            window.Controls().ListCountBox()->setCurrentIndex(index);
            window.SetListCount(index);
            break;
        }
        case 1:
            Note(" page back");
            Click(Ids::kPageBack);
            break;
        default:
            Note(" page forward");
            Click(Ids::kPageForward);
            break;
    }
}

void CCommandSequence::TimeDiv() {
    const bool up = Chance(0.6);
    Note(up ? " up" : " down");
    Click(up ? 1001 : 1002);
}

void CCommandSequence::TempDiv() {
    const bool up = Chance(0.5);
    Note(up ? " up" : " down");
    Click(up ? 1005 : 1006);
}

void CCommandSequence::AutoScale() {
    CMainDlg& window = m_world.Window();
    const bool finished = m_world.Store().State() == EState::kStateHolding;
    const TTemperatureAxis expected = sequence_checks::ExpectedAutoScale(window);
    Click(1007);
    const TTemperatureAxis& axis = m_world.Graph().TemperatureAxis();
    if (finished && (axis.tempDivIndex != expected.tempDivIndex || axis.centre != expected.centre))
        m_violations.push_back("AUTO gave temp/div " + std::to_string(axis.tempDivIndex) + " at " +
                               std::to_string(axis.centre) + ", the records on the screen need " +
                               std::to_string(expected.tempDivIndex) + " at " +
                               std::to_string(expected.centre));
}

void CCommandSequence::Cursor() {
    Click(1010);
}

void CCommandSequence::CursorButton() {
    const bool right = Chance(0.5);
    QAbstractButton* button = m_world.Window().Controls().Button(right ? 1009 : 1008);
    // Mostly a short press; now and then held until it repeats.
    const int holdMs = Chance(0.1) ? 1100 + Pick(600) : 0;
    Note(std::string(right ? " right" : " left") + (holdMs ? " held " + std::to_string(holdMs) + " ms" : ""));
    if (!button->isEnabled()) {
        Note(" (disabled)");
        return;
    }
    QTest::mousePress(button, Qt::LeftButton);
    CSequenceWorld::Wait(holdMs);
    QTest::mouseRelease(button, Qt::LeftButton);
}

void CCommandSequence::ClickGraph() {
    QWidget* area = m_world.Window().Controls().Widget(Ids::kGraphArea);
    const int x = Pick(std::max(area->width(), 1));
    Note(" at x " + std::to_string(x));
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(x, area->height() / 2));
}

void CCommandSequence::ScrollTime() {
    CScrollBarEx* bar = m_world.Window().Controls().ScrollBar(1023);
    const auto request = static_cast<CScrollBarEx::ERequest>(Pick(CScrollBarEx::kEndScroll + 1));
    const int position = bar->minimum() + Pick(bar->maximum() - bar->minimum() + 1);
    Note(" request " + std::to_string(request) + " to " + std::to_string(position));
    if (bar->isEnabled())
        bar->Scroll(request, position);
}

void CCommandSequence::ScrollTemperature() {
    CScrollBarEx* bar = m_world.Window().Controls().ScrollBar(1024);
    const auto request = static_cast<CScrollBarEx::ERequest>(Pick(CScrollBarEx::kEndScroll + 1));
    const int position = bar->minimum() + Pick(bar->maximum() - bar->minimum() + 1);
    Note(" request " + std::to_string(request) + " to " + std::to_string(position));
    bar->Scroll(request, position);
}

void CCommandSequence::RowHeader() {
    CMainDlg& window = m_world.Window();
    VEK::MFC::CRowHeaderCtrl* header = window.Controls().RowHeader(Ids::kRowHeader0);
    const CMyTemperatureValueListRapper& list = window.ValueLists().Model().List(0);
    if (!header->isVisible() || list.RowCount() == 0) {
        Note(" (no rows shown)");
        return;
    }
    const int row = Pick(list.RowCount());
    const int channel = list.Row(row).channel;
    const bool shown = window.Graph().Visibility().Shown(channel);
    const bool twice = Chance(0.2);
    Note(std::string(twice ? " double click" : " click") + " on channel " + std::to_string(channel));
    const QPoint point = header->RowRect(row).center();
    QTest::mouseClick(header, Qt::LeftButton, {}, point);
    if (twice) {
        // What the window system delivers for the second click.
        QTest::mouseDClick(header, Qt::LeftButton, {}, point);
        QTest::mouseRelease(header, Qt::LeftButton, {}, point);
    }
    // A double click is one click on the row, then the double click.
    if (window.Graph().Visibility().Shown(channel) == shown)
        m_violations.push_back("the row header's click left channel " + std::to_string(channel) +
                               (shown ? " shown" : " hidden"));
}

void CCommandSequence::AdjustOffset() {
    // Mostly a channel of a unit that answers; "ALL" waits for channel 4, which has none.
    const int row = Chance(0.15) ? 0 : 1 + Pick(CSequenceWorld::kUnits);
    const int command = Chance(0.7) ? 32797 : 32798;
    Note(std::string(command == 32797 ? " get" : " clear") +
         (row == 0 ? " ALL" : " channel " + std::to_string(row)));
    m_dialog = [row, command](QDialog& dialog) {
        auto* adjust = qobject_cast<CAdjustOffsetDlg*>(&dialog);
        if (adjust == nullptr)
            return static_cast<int>(QDialog::Rejected);
        adjust->show();
        auto* list = adjust->findChild<QTableWidget*>("1039");
        const QModelIndex cell = list->model()->index(row, 1);
        list->scrollTo(cell);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
        auto* menu = adjust->findChild<QMenu*>("170");
        menu->hide();
        menu->findChild<QAction*>(QString::number(command))->trigger();
        ButtonOf(*adjust, "2")->click();
        return adjust->result();
    };
    Trigger(Ids::kAdjustOffset);
}

void CCommandSequence::QuitAndStartAgain() {
    CMainDlg& window = m_world.Window();
    const bool measuring = m_world.Store().State() == EState::kStateMeasuring;
    const std::string runFile = window.Controller().WorkingFilePath();
    // While measuring only Escape quits (the Exit button is disabled).
    if (measuring)
        QTest::keyClick(&window, Qt::Key_Escape);
    else
        Click(Ids::kExit);
    if (window.isVisible()) {
        Note(" (stays)");
        return;
    }
    m_quit = true;
    // A run that ends with the quit waits for the operator's word; finished data went with it
    // (asked first when saved nowhere).
    if (measuring && (m_runDataFile.empty() || !testing_support::FileExists(m_runDataFile)))
        m_undecided = runFile;
    else
        m_undecided.reset();
    m_world.Close();
    std::set<std::string> waiting = m_kept;
    if (m_undecided)
        waiting.insert(*m_undecided);
    const std::vector<std::string> files = CSequenceWorld::WorkingFiles();
    if (std::set<std::string>(files.begin(), files.end()) != waiting)
        m_violations.push_back("after the quit the work folder holds " + std::to_string(files.size()) +
                               " runs, the runs nobody saved or discarded are " +
                               std::to_string(waiting.size()));
    m_kept = waiting;
    m_undecided.reset();
    m_offerAnswers.clear();
    // Started again a while later: a file written a moment ago may still be growing in another
    // process, and is not offered yet.
    for (const std::string& file : files)
        std::filesystem::last_write_time(
            file, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
    // A run started in the second a kept run started would take that run's file name (and
    // truncate it): not the case this sequence is about, so the second passes first.
    auto takenNow = [&] {
        return m_kept.count(CSequenceWorld::WorkFolder() + "/" +
                            VEK::CSystemTime::Now().Format("%Y%m%d%H%M%S") + ".csv") != 0;
    };
    while (takenNow()) CSequenceWorld::Wait(50);
    if (!m_world.Open(m_restartError))
        return;
    // Offered newest first (the file names are the start times), until one is opened.
    const std::vector<std::string> newestFirst(waiting.rbegin(), waiting.rend());
    const bool opened = std::find(m_offerAnswers.begin(), m_offerAnswers.end(), 0u) != m_offerAnswers.end();
    if (opened ? m_offerAnswers.size() > newestFirst.size() : m_offerAnswers.size() != newestFirst.size())
        m_violations.push_back("the start offered " + std::to_string(m_offerAnswers.size()) + " runs of " +
                               std::to_string(newestFirst.size()) + " nobody saved or discarded");
    for (size_t i = 0; i < m_offerAnswers.size() && i < newestFirst.size(); ++i) {
        const std::string& path = newestFirst[i];
        if (m_offerAnswers[i] == 2) {
            m_kept.erase(path);
        } else if (m_offerAnswers[i] == 0 && m_world.Store().State() == EState::kStateHolding) {
            m_kept.erase(path);
            m_undecided = path;
        }
    }
}
