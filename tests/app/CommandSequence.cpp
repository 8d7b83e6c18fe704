#include "CommandSequence.h"

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <numeric>

#include "SequenceChecks.h"
#include "data/MeasurementSetup.h"
#include "files/DataFile.h"
#include "support/TestHome.h"

namespace {

using Ids = CMainDlgControls;
using EState = CMeasurementDataManager::EState;
constexpr const char* kDiscard = "The measurement data are discarded. Is it ok?";
constexpr const char* kClear = "Are you sure to clear measurement data?";
constexpr const char* kQuit = "Are you sure to quit the application?";
// Mostly OK: the data go, and what goes with them is checked.
constexpr double kDiscardOk = 0.75;

// Finished data of a file: channels in use at rate, temperatures around base (tenths, in unit)
// with a ramp, gaps of Lost and an Out Of Range now and then; saved with the view's scales.
void WriteDataFile(const std::string& path, uint8_t rate, uint32_t unit, std::vector<int> channels,
                   uint32_t records, int16_t base, const VEK::TDataFileView& view) {
    TMeasurementSetup setup;
    setup.systemNumber = 5;
    setup.pollingSetting.SetRateCode(rate);
    for (int channel : channels) setup.pollingSetting.SetInUse(channel, true);
    setup.temperatureUnit = unit;
    CMeasurementDataManager store;
    store.Reset(setup);
    store.SetStartTime({2021, 3, 0, 14, 9, 30, 0, 0});
    for (int channel : channels) {
        for (uint32_t i = 0; i < records; ++i) {
            int16_t tenths = static_cast<int16_t>(base + channel * 17 + static_cast<int>(i % 200) - 100);
            if ((i + static_cast<uint32_t>(channel) * 31) % 389 < 4)
                tenths = kReadingLost;
            else if ((i + static_cast<uint32_t>(channel)) % 977 == 0)
                tenths = kReadingOutOfRange;
            CMeasurementDataManager::SetReading(store.Channel(channel), i, tenths);
        }
    }
    store.SetRecordCount(records);
    store.SetState(EState::kStateHolding);
    VEK::SaveDataFile(path, store, view);
}

VEK::TDataFileView View(const char* timeDiv, const char* tempDiv, int32_t centre) {
    VEK::TDataFileView view;
    view.scales = {timeDiv, tempDiv, centre};
    return view;
}

}  // namespace

CCommandSequence::CCommandSequence(uint32_t seed) : m_seed(seed), m_random(seed), m_world(seed) {
    SetUpAnswers();
    WriteDataFiles();
}

void CCommandSequence::WriteDataFiles() {
    const std::string folder = CSequenceWorld::TestFile("");
    std::filesystem::create_directories(folder);
    m_dataFiles = {folder + "ramp-50C-1hour.csv", folder + "ramp-10C-2min.csv", folder + "ramp-120F-1min.csv",
                   folder + "short-1sec.csv"};
    WriteDataFile(m_dataFiles[0], 1, 0, {1, 2, 3}, 20000, 500, View("1hour", "10deg C", 50));
    WriteDataFile(m_dataFiles[1], 1, 0, {1, 2, 3, 4}, 3000, 100, View("2min", "20deg C", 10));
    WriteDataFile(m_dataFiles[2], 4, 1, {1, 2, 4}, 700, 1200, View("30min", "50deg F", 120));
    WriteDataFile(m_dataFiles[3], 4, 0, {2, 3}, 12, 250, View("10sec", "5deg C", 25));
}

void CCommandSequence::SetUpAnswers() {
    CScriptedOperatorPrompt& prompt = m_world.Prompt();
    prompt.onAsk = [this](const IOperatorPrompt::TQuestion& question) {
        bool yes = true;
        if (question.text == kDiscard)
            yes = Chance(kDiscardOk);
        else if (question.text == kClear || question.text.find("partially") != std::string::npos)
            yes = Chance(0.8);
        else if (question.text == kQuit)
            yes = Chance(0.9);
        m_asked.push_back({question.text, yes});
        Note(std::string(" [") + (yes ? "OK" : "Cancel") + ": " + question.text.substr(0, 28) + "]");
        return yes;
    };
    prompt.onTell = [this](IOperatorPrompt::EIcon, const std::string& text) {
        m_told.push_back(text);
        Note(" [told: " + text.substr(0, 40) + "]");
    };
    prompt.onChooseFile = [this](const IOperatorPrompt::TFileRequest&) { return m_fileToChoose; };
    prompt.onRun = [this](QDialog& dialog) {
        return m_dialog ? m_dialog(dialog) : static_cast<int>(QDialog::Rejected);
    };
    prompt.onChoose = [this](const IOperatorPrompt::TChoice& choice) {
        // A run offered back at start-up: Open, Keep or Delete.
        const size_t answer = static_cast<size_t>(Pick(static_cast<int>(choice.buttons.size())));
        Note(" [offer: " + choice.buttons.at(answer) + "]");
        m_offerAnswers.push_back(answer);
        return answer;
    };
}

const std::vector<CCommandSequence::TStep>& CCommandSequence::Steps() {
    static const std::vector<TStep> steps = {
        {"Start", 8, &CCommandSequence::Start},
        {"Start/Stop", 5, &CCommandSequence::StartStop},
        {"Wait", 8, &CCommandSequence::WaitForRecords},
        {"Save Data", 4, &CCommandSequence::SaveData},
        {"Load Data", 8, &CCommandSequence::LoadData},
        {"Clear All Data", 3, &CCommandSequence::ClearAllData},
        {"Delete Data Before Cursor", 4, &CCommandSequence::DeleteBefore},
        {"Delete Data After Cursor", 7, &CCommandSequence::DeleteAfter},
        {"Setup", 4, &CCommandSequence::Setup},
        {"Export and Import Setup", 2, &CCommandSequence::ExportAndImportSetup},
        {"Graph Display", 2, &CCommandSequence::ToggleDisplayMode},
        {"Lists and pages", 2, &CCommandSequence::ListsAndPages},
        {"Time/div", 8, &CCommandSequence::TimeDiv},
        {"Temp/div", 4, &CCommandSequence::TempDiv},
        {"AUTO", 5, &CCommandSequence::AutoScale},
        {"CURSOR", 6, &CCommandSequence::Cursor},
        {"Cursor button", 5, &CCommandSequence::CursorButton},
        {"Click in the graph", 3, &CCommandSequence::ClickGraph},
        {"Time scroll", 5, &CCommandSequence::ScrollTime},
        {"Temperature scroll", 2, &CCommandSequence::ScrollTemperature},
        {"Row header", 3, &CCommandSequence::RowHeader},
        {"Adjust Offset", 2, &CCommandSequence::AdjustOffset},
        {"Quit and start again", 2, &CCommandSequence::QuitAndStartAgain},
    };
    return steps;
}

std::string CCommandSequence::Run(int steps) {
    std::string error;
    if (!m_world.Open(error))
        return "the window did not start: " + error;
    const std::vector<TStep>& catalogue = Steps();
    const int total = std::accumulate(catalogue.begin(), catalogue.end(), 0,
                                      [](int sum, const TStep& step) { return sum + step.weight; });
    for (int step = 0; step < steps && m_violations.empty(); ++step) {
        int pick = Pick(total);
        const TStep* chosen = &catalogue.front();
        for (const TStep& candidate : catalogue) {
            if (pick < candidate.weight) {
                chosen = &candidate;
                break;
            }
            pick -= candidate.weight;
        }
        m_asked.clear();
        m_told.clear();
        m_fileToChoose.reset();
        m_dialog = nullptr;
        m_stepText.clear();
        m_dataEdited = false;
        m_quit = false;
        const TData before = Data();
        (this->*chosen->run)();
        m_log.push_back(std::to_string(step) + ": " + chosen->name + m_stepText);
        // As it goes: a crash (a sanitizer's report) leaves these lines behind.
        std::printf("  %s\n", m_log.back().c_str());
        std::fflush(stdout);
        if (!m_world.IsOpen()) {
            m_violations.push_back("the window did not start again: " + m_restartError);
            break;
        }
        Settle();
        CheckStep(before);
        sequence_checks::CheckWindow(m_world.Window(), m_violations);
    }
    if (m_violations.empty())
        return {};
    std::string report = "The command sequence of seed " + std::to_string(m_seed) +
                         " (HOLLOWMERE_SEQUENCE_SEED=" + std::to_string(m_seed) +
                         " runs it again) broke at step " + std::to_string(m_log.size() - 1) + ":\n";
    for (const std::string& violation : m_violations) report += "  " + violation + "\n";
    report += "Steps:\n";
    for (const std::string& line : m_log) report += "  " + line + "\n";
    return report;
}

CCommandSequence::TData CCommandSequence::Data() {
    TData data;
    if (!m_world.IsOpen())
        return data;
    const CMeasurementDataManager& store = m_world.Store();
    data.state = store.State();
    data.startTime =
        store.StartTime().Format("%Y-%m-%d %H:%M:%S") + "." + std::to_string(store.StartTime().millisecond);
    data.savedPath = store.SavedPath();
    data.unsaved = data.state == EState::kStateHolding && (data.savedPath.empty() || store.IsModified());
    data.workingFile = m_world.Window().Controller().WorkingFilePath();
    return data;
}

bool CCommandSequence::Asked(const std::string& text, bool yes) const {
    return std::any_of(m_asked.begin(), m_asked.end(),
                       [&](const TAnswer& answer) { return answer.text == text && answer.yes == yes; });
}

void CCommandSequence::CheckStep(const TData& before) {
    const TData after = Data();
    const bool agreed = Asked(kDiscard, true) || Asked(kClear, true);
    const bool gone = before.state == EState::kStateHolding && !m_dataEdited &&
                      (m_quit || after.state != EState::kStateHolding ||
                       after.startTime != before.startTime || after.savedPath != before.savedPath);
    if (gone && before.unsaved && !agreed)
        m_violations.push_back("finished data saved nowhere went without the discard question");
    if (gone && agreed && !m_quit && !before.workingFile.empty() && before.workingFile != after.workingFile &&
        testing_support::FileExists(before.workingFile))
        m_violations.push_back("the working file of discarded data stays: " + before.workingFile);
    if (gone)
        m_undecided.reset();
    // A run that ended saved nowhere waits for the operator's word.
    if (!m_quit && before.state == EState::kStateMeasuring && after.state == EState::kStateHolding)
        m_undecided = after.savedPath.empty() ? std::optional(after.workingFile) : std::nullopt;
    CheckWorkingFiles();
}

void CCommandSequence::CheckWorkingFiles() {
    std::set<std::string> waiting = m_kept;
    if (m_undecided)
        waiting.insert(*m_undecided);
    for (const std::string& path : waiting)
        if (!testing_support::FileExists(path))
            m_violations.push_back("the working file of a run nobody saved or discarded is gone: " + path);
    if (m_world.Store().State() == EState::kStateMeasuring &&
        !testing_support::FileExists(m_world.Window().Controller().WorkingFilePath()))
        m_violations.push_back("a run measures without its working file");
}

void CCommandSequence::Click(int id) {
    m_world.Window().Controls().Button(id)->click();
}

void CCommandSequence::Trigger(int command) {
    CMainDlg& window = m_world.Window();
    QAction* action = window.Controls().Action(command);
    // As the operator does it: the menu button (disabled while measuring) opens the menu, which
    // greys what does not apply.
    for (int button : {Ids::kFileMenu, Ids::kEditMenu, Ids::kViewMenu, Ids::kSetupMenu}) {
        QMenu* menu = window.Controls().MenuOf(button);
        if (!menu->actions().contains(action))
            continue;
        if (!window.Controls().Button(button)->isEnabled()) {
            Note(" (menu disabled)");
            return;
        }
        window.OpenMenu(button);
        menu->hide();
    }
    if (action->isEnabled())
        action->trigger();
    else
        Note(" (greyed)");
}

void CCommandSequence::Settle() {
    if (!m_world.Settle())
        m_violations.push_back("the graph's picture was not drawn within 3 s");
}
