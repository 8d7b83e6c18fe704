#include "app/MainDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <cstdio>

#include "app/AboutDlg.h"
#include "app/CounterpartTitle.h"
#include "app/FileProgressDlg.h"
#include "app/InformationLine.h"
#include "app/MainDlgArrangement.h"
#include "app/StatusLook.h"
#include "app/WaitCursor.h"
#include "app/WaitToStopDlg.h"
#include "data/SamplingRate.h"
#include "dialogs/AdjustOffsetDlg.h"
#include "dialogs/MeasurementDlg.h"
#include "dialogs/QtOperatorPrompt.h"
#include "display/DialogFont.h"
#include "display/WindowPlacement.h"
#include "files/CodeTables.h"
#include "files/DataFile.h"
#include "files/FolderMemory.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"
#include "publish/MqttConnection.h"
#include "publish/MqttSettings.h"

namespace {

using EIconKind = IOperatorPrompt::EIcon;
using Ids = CMainDlgControls;

constexpr const char* kDataFilter = "DATA File (*.csv)|*.csv|All Files (*.*)|*.*||";
constexpr const char* kDataExtension = "*.csv";
constexpr const char* kSavedData = "Finished saving data to the file.";
constexpr const char* kSaveFailed = "Failed to save data to the file.";
constexpr const char* kReadData = "Finished reading data from the file.";
constexpr const char* kReadFailed = "Failed to read data from the file.";
constexpr int kBackground = 0xF5F5DC;

}  // namespace

CMainDlg::CMainDlg(IOperatorPrompt* prompt, QWidget* parent)
    : CLayoutDialog(parent),
      m_ownPrompt(prompt == nullptr ? std::make_unique<CQtOperatorPrompt>(this) : nullptr),
      m_prompt(prompt == nullptr ? *m_ownPrompt : *prompt) {
    setObjectName(QStringLiteral("102"));
    setWindowTitle(QStringLiteral("Brisquent - Quillmark"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    SetMinimumTrackSize(QSize(861, 600));
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor::fromRgb(kBackground));
    setPalette(background);

    auto* about = new QAction(tr("&About..."), this);
    about->setShortcut(QKeySequence::HelpContents);
    connect(about, &QAction::triggered, this, &CMainDlg::ShowAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(&m_quitSignals, &CQuitSignalNotifier::quitRequested, this, &CMainDlg::QuitOnSignal);
    CChannelValueLists::TControls lists;
    lists.lists[0] = m_controls.ValueList(Ids::kList0);
    lists.rowHeaders[0] = m_controls.RowHeader(Ids::kRowHeader0);
    for (int i = 0; i < CListPaging::kMaxLists; ++i) {
        lists.lists[i + 1] = m_controls.ValueList(CMainDlgControls::kLists[i]);
        lists.rowHeaders[i + 1] = m_controls.RowHeader(CMainDlgControls::kRowHeaders[i]);
    }
    m_lists = std::make_unique<CChannelValueLists>(lists, m_controller.Store(), m_parameters, DialogFont(),
                                                   VEK::LastOneSection("list-column"));
    m_lists->Follow(m_controller);
    ConnectCommands();
    ConnectGraph();
    SetMainDlgLooks(m_controls, DialogFont());
    Arrange();
    // Not from within the resize that wrapped the line: the arrangement is running then.
    connect(&m_informationLine, &CInformationLineWrap::linesChanged, this, &CMainDlg::Arrange,
            Qt::QueuedConnection);
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::ConnectCommands() {
    connect(m_controls.Button(Ids::kStartStop), &QPushButton::clicked, this, &CMainDlg::StartStop);
    for (int id : {Ids::kFileMenu, Ids::kEditMenu, Ids::kViewMenu, Ids::kSetupMenu})
        connect(m_controls.Button(id), &QPushButton::clicked, this, [this, id] { OpenMenu(id); });
    connect(m_controls.Button(Ids::kExit), &QPushButton::clicked, this, &CMainDlg::QuitRequest);
    const std::pair<int, void (CMainDlg::*)()> commands[] = {
        {Ids::kSaveData, &CMainDlg::SaveData},
        {Ids::kLoadData, &CMainDlg::LoadData},
        {Ids::kRecoverUnsavedRuns, &CMainDlg::RecoverUnsavedRuns},
        {Ids::kClearAllData, &CMainDlg::ClearAllData},
        {Ids::kGraphDisplay, &CMainDlg::ToggleGraphDisplay},
        {Ids::kSetup, &CMainDlg::Setup},
        {Ids::kAdjustOffset, &CMainDlg::AdjustOffset}};
    for (const auto& [command, handler] : commands)
        connect(m_controls.Action(command), &QAction::triggered, this, handler);
    ConnectSetupCommands();
    connect(m_controls.GraphCheck(), &QCheckBox::clicked, this, &CMainDlg::ApplyDisplayMode);
    connect(m_controls.ListCountBox(), &QComboBox::activated, this, &CMainDlg::SetListCount);
    connect(m_controls.Button(Ids::kPageBack), &QPushButton::clicked, this, &CMainDlg::PageBack);
    connect(m_controls.Button(Ids::kPageForward), &QPushButton::clicked, this, &CMainDlg::PageForward);

    connect(&m_controller, &CMeasurementSignals::statusChanged, this, &CMainDlg::RefreshStatus);
    connect(&m_controller, &CMeasurementSignals::publishStatusChanged, this,
            &CMainDlg::RefreshInformationLine);
    connect(&m_controller, &CMeasurementSignals::fileProblemChanged, this, &CMainDlg::RefreshInformationLine);
    // Not from within the run's timer that found it: a box waits for the operator.
    connect(&m_controller, &CMeasurementSignals::fileProblemChanged, this, &CMainDlg::TellWorkingFileProblem,
            Qt::QueuedConnection);
    connect(m_lists.get(), &CChannelValueLists::pagingChanged, this, &CMainDlg::RefreshPageButtons);
    connect(&m_controller, &CMeasurementSignals::samplingTick, this, &CMainDlg::RefreshCounterpartTitle);
}

void CMainDlg::ConnectGraph() {
    const CGraph* graph = &m_graph.Graph();
    // The cursor decides the deletions, hold the command states.
    connect(graph, &CGraph::viewChanged, this, &CMainDlg::RefreshMenus);
    connect(graph, &CGraph::holdChanged, this, &CMainDlg::RefreshStatus);
    // The counterpart's title tells the time under the graph's right edge.
    connect(graph, &CGraph::viewChanged, this, &CMainDlg::RefreshCounterpartTitle);
    connect(graph, &CGraph::pictureChanged, this, &CMainDlg::RefreshCounterpartTitle);
    // List 0's row header shows and hides the graph's channels; a held or finished view shows its
    // record's values in the lists.
    CChannelValueLists* lists = m_lists.get();
    lists->SetShownInGraph([this](int channel) { return m_graph.Visibility().Shown(channel); });
    connect(lists, &CChannelValueLists::rowHeaderClicked, this, [this](int, int channel) {
        if (channel > 0)
            m_graph.Graph().ToggleChannel(channel);
    });
    connect(graph, &CGraph::channelVisibilityChanged, lists, [this, graph, lists](int channel) {
        const std::array<uint32_t, 101> marks = graph->Colors().ChannelMarks();
        lists->SetChannelColorMark(0, channel,
                                   m_graph.Visibility().Shown(channel) ? marks[channel] : marks[0]);
    });
    connect(graph, &CGraph::listRecordShown, lists, &CChannelValueLists::ShowValuesAtRecord);
    connect(graph, &CGraph::holdChanged, lists, &CChannelValueLists::SetLiveValuesHeld);
}

bool CMainDlg::InitDialog() {
    if (m_onlyWindow.Check(this)) {
        std::string text = m_onlyWindow.Problem();
        if (text.empty() && m_onlyWindow.OwnerName() == kRecorderOwner)
            text = "The headless recorder (hollowmere-record) holds the dongle. Stop it first.";
        if (!text.empty()) {
            std::fprintf(stderr, "%s\n", text.c_str());
            Tell(EIconKind::kInformation, text);
        }
        return false;
    }
    m_started = true;
    CreateCounterpartWindow();
    VEK::TraceLogger().Trace("アプリケーションを開始しました。");

    VEK::ReadParameterSet(m_parameters, VEK::LastOneSection("user"), VEK::DefineParameterSection());
    m_graph.Start(VEK::ReadGraphScales(VEK::LastOneSection("user")), m_parameters.temperatureUnit);
    RestoreWindowPlacement(*this, VEK::LastOneSection("main-dlg"), true);
    RestoreWindowPlacement(*m_counterpart, VEK::LastOneSection("opposite-dlg"), false);
    m_lists->SetMarkColors(m_graph.Graph().Colors().ChannelMarks());
    // Outside 0..2 it reads as 2.
    m_lists->SetListCountIndex(
        VEK::LastOneSection("user").GetInteger("list-div", CListPaging::kDefaultListCountIndex));
    m_controls.ListCountBox()->setCurrentIndex(Paging().ListCountIndex());
    ApplyDisplayMode();
    RefreshStatus();
    m_lists->RefreshLists();
    if (!RunSystemNumberGate())
        return false;
    m_controller.StartDeviceWatch();
    StartPublishing();
    RefreshStatus();
    // Runs as soon as the window's event loop does: before the operator can start anything.
    QMetaObject::invokeMethod(this, &CMainDlg::OfferUnsavedRuns, Qt::QueuedConnection);
    return true;
}

void CMainDlg::StartPublishing() {
    const TMqttSettings settings = TMqttSettings::Read(VEK::DefineParameterSection());
    if (!settings.Enabled())
        return;
    TMqttConnection connection;
    std::string error;
    if (!TMqttConnection::Resolve(settings, connection, error)) {
        // The measurement does not depend on the broker: say why nothing is published and go on.
        VEK::TraceLogger().Trace("MQTT: %s", error.c_str());
        Tell(EIconKind::kExclamation, "Readings are not published to the MQTT broker: " + error);
        return;
    }
    m_controller.StartPublishing(connection, QCoreApplication::applicationName().toStdString());
}

void CMainDlg::RefreshStatus() {
    const int state = m_controller.RunState();
    const bool measuring = state == CMeasurementDataManager::kStateMeasuring;
    m_statusLine.Refresh(m_controller.StatusText(), TStatusLook::For(state, m_controller.IsConnected(),
                                                                     m_controller.ConnectionAttempted()));
    QPushButton* startStop = m_controls.Button(Ids::kStartStop);
    startStop->setText(measuring ? tr("Stop") : tr("Start"));
    m_controls.SetButtonName(Ids::kStartStop, startStop->text());
    m_controls.SetButtonIcon(Ids::kStartStop, measuring ? 159 : 158);
    const TCommandAvailability availability = TCommandAvailability::For(
        state, m_controller.IsConnected(), m_graph.Graph().CursorOn(), m_controller.PollingSetting());
    startStop->setEnabled(availability.startStop);
    for (int id : {Ids::kFileMenu, Ids::kEditMenu, Ids::kSetupMenu, Ids::kExit})
        m_controls.Button(id)->setEnabled(availability.menus);
    RefreshMenus();
    RefreshInformationLine();
    m_controls.Label(Ids::kUnitLabel)
        ->setText(QString::fromStdString("[" + VEK::TemperatureUnitName(m_parameters.temperatureUnit) + "]"));
    RefreshCounterpartTitle();
}

void CMainDlg::RefreshInformationLine() {
    CMeasurementDataManager& store = m_controller.Store();
    TInformationLine line;
    line.runState = store.State();
    line.startTime = store.StartTime();
    line.savedPath = store.SavedPath();
    line.modified = store.IsModified();
    line.rateCode = line.runState == CMeasurementDataManager::kStateEmpty ? m_parameters.polling.RateCode()
                                                                          : store.SamplingRateCode();
    line.systemNumber = m_parameters.systemNumber;
    if (m_controller.IsPublishing())
        line.publishing = m_controller.PublishStatus().Text();
    // The names alone: the folders would push the reasons off the line.
    line.fileProblem = m_controller.FileProblem(true);
    m_informationLine.SetText(QString::fromStdString(line.Text()));
}

void CMainDlg::TellWorkingFileProblem() {
    const std::string problem = m_controller.WorkingFileProblem();
    if (problem.empty() || m_closing) {
        m_workingFileProblemTold = problem;
        return;
    }
    if (problem == m_workingFileProblemTold)
        return;
    m_workingFileProblemTold = problem;
    // A file that could not be created is not tried again; one that cannot take its rows is.
    const char* next =
        m_controller.WorkingFilePath().empty()
            ? "The measurement goes on without it"
            : "The measurement goes on; the rows are written as soon as the file can be written";
    Tell(EIconKind::kError, "The working file " + problem + ".\n" + next +
                                ", and the data stay in memory until they are saved.");
}

void CMainDlg::RefreshMenus() {
    const TCommandAvailability availability =
        TCommandAvailability::For(m_controller.RunState(), m_controller.IsConnected(),
                                  m_graph.Graph().CursorOn(), m_controller.PollingSetting());
    // The commands of a disabled menu button are disabled too, for their keys.
    for (int command : {Ids::kLoadData, Ids::kExportSetup, Ids::kImportSetup, Ids::kRecoverUnsavedRuns,
                        Ids::kClearAllData, Ids::kSetup, Ids::kAdjustOffset})
        m_controls.Action(command)->setEnabled(availability.menus);
    m_controls.Action(Ids::kSaveData)->setEnabled(availability.saveData && availability.menus);
    m_controls.Action(Ids::kDeleteBefore)->setEnabled(availability.deletions && availability.menus);
    m_controls.Action(Ids::kDeleteAfter)->setEnabled(availability.deletions && availability.menus);
    m_controls.Action(Ids::kGraphDisplay)->setChecked(m_graphShown);
}

void CMainDlg::RefreshCounterpartTitle() {
    if (m_counterpart == nullptr || !m_counterpart->isVisible())
        return;
    CMeasurementDataManager& store = m_controller.Store();
    TCounterpartTitle title;
    title.measuring = store.State() == CMeasurementDataManager::kStateMeasuring;
    title.elapsedText = m_controls.Label(Ids::kElapsedReadout)->text().toStdString();
    title.recordsMeasured = store.RecordsThisRun();
    title.start = m_graph.Graph().TimeAxis().start;
    title.samplesPerScreen = m_graph.Graph().TimeAxis().samplesPerScreen;
    title.periodMs = SamplingPeriodMilliseconds(store.SamplingRateCode());
    m_counterpart->setWindowTitle(QString::fromStdString(title.Text()));
}

void CMainDlg::CreateCounterpartWindow() {
    // The tests' prompt answers the counterpart's boxes too; the platform's are modal to it.
    IOperatorPrompt* prompt = m_ownPrompt != nullptr ? nullptr : &m_prompt;
    if (m_simulatedSession != nullptr) {
        m_counterpart = std::make_unique<COppositeDlg>(*m_simulatedSession, prompt);
    } else {
        const VEK::TDeviceSettings device = VEK::TDeviceSettings::Read(VEK::DefineParameterSection());
        m_counterpart = std::make_unique<COppositeDlg>(TOppositeServer::For(device), prompt);
    }
    m_counterpart->Open();
}

void CMainDlg::ShowMessage(EIcon icon, const std::string& text) {
    VEK::TraceLogger().Trace("%s", text.c_str());
    // A signal asked to quit: nobody may be there to close a box.
    if (m_closing)
        return;
    Tell(icon == EIcon::kError ? EIconKind::kError : EIconKind::kInformation, text);
}

bool CMainDlg::WaitForStopConfirmation(const std::function<bool()>& stopped) {
    CWaitToStopDlg dialog(stopped, this);
    return m_prompt.Run(dialog) == CWaitToStopDlg::kCancelled;
}

void CMainDlg::StartStop() {
    if (m_controller.RunState() == CMeasurementDataManager::kStateMeasuring) {
        const bool stop = m_prompt.Ask({"Are you sure to stop measurement?", "Stop measurement", true});
        // The run may have ended by itself while the question was open: nothing is left to stop.
        if (stop && m_controller.RunState() == CMeasurementDataManager::kStateMeasuring)
            m_controller.FinishMeasurement();
        return;
    }
    if (!DiscardCheck())
        return;
    CMeasurementDlg dialog(m_prompt, VEK::DefineParameterSection(), this);
    if (m_prompt.Run(dialog) != QDialog::Accepted)
        return;
    TRunOptions options;
    options.dataFile = dialog.DataFileName();
    options.stopTime = dialog.StopTime();
    CWaitCursor wait;
    m_controller.StartMeasurement(options);
}

bool CMainDlg::DiscardCheck() {
    CMeasurementDataManager& store = m_controller.Store();
    if (store.State() != CMeasurementDataManager::kStateHolding ||
        (!store.SavedPath().empty() && !store.IsModified()))
        return true;
    return m_prompt.Ask({"The measurement data are discarded. Is it ok?"});
}

void CMainDlg::OpenMenu(int buttonId) {
    QPushButton* button = m_controls.Button(buttonId);
    if (m_counterpart != nullptr && m_controller.TcpServerRunning() &&
        (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)) {
        m_counterpart->show();
        m_counterpart->raise();
        RefreshCounterpartTitle();
        return;
    }
    RefreshMenus();
    m_controls.MenuOf(buttonId)->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void CMainDlg::SaveData() {
    CMeasurementDataManager& store = m_controller.Store();
    if (store.State() != CMeasurementDataManager::kStateHolding)
        return;
    if (store.RecordCount() == 0) {
        Tell(EIconKind::kInformation, "There is no data to save.");
        return;
    }
    IOperatorPrompt::TFileRequest request{true, kDataFilter, kDataExtension};
    const std::string saved = store.SavedPath();
    request.proposedName = saved.substr(saved.find_last_of('/') + 1);
    if (request.proposedName.empty())
        request.proposedName = store.StartTime().Format("%Y%m%d%H%M%S.csv");
    if (request.proposedName.empty())
        request.proposedName = "__.csv";
    request.startFolder = VEK::LoadLastFolder("data");
    const std::optional<std::string> path = m_prompt.ChooseFile(request);
    if (!path)
        return;
    const VEK::TDataFileView view = m_graph.Graph().DataFileView();
    std::string problem;
    const auto outcome = CFileProgressDlg(this, QStringLiteral("Saving data to the file..."), false)
                             .Run([&](const VEK::FileProgress& progress) {
                                 return VEK::WriteDataFileAtomically(*path, store, view, progress, &problem);
                             });
    if (outcome != CFileProgressDlg::EOutcome::kDone) {
        // The data stay as they were, unsaved: Save is offered again.
        Tell(EIconKind::kError, std::string(kSaveFailed) + "\n" + *path + ": " + problem);
        return;
    }
    VEK::NoteSaved(store, *path);
    VEK::SaveLastFolder("data", *path);
    m_controller.DataSaved();
    RefreshStatus();
    Tell(EIconKind::kInformation, kSavedData);
}

void CMainDlg::LoadData() {
    if (m_controller.RunState() == CMeasurementDataManager::kStateMeasuring || !DiscardCheck())
        return;
    IOperatorPrompt::TFileRequest request{false, kDataFilter, kDataExtension};
    request.startFolder = VEK::LoadLastFolder("data");
    const std::optional<std::string> path = m_prompt.ChooseFile(request);
    if (!path)
        return;
    // A file without scales keeps the graph's.
    VEK::TDataFileView view = m_graph.Graph().DataFileView();
    // Read into a store of its own: a cancel or a failure leaves the data on screen as they were.
    CMeasurementDataManager loaded;
    const auto outcome = CFileProgressDlg(this, QStringLiteral("Reading data from the file..."), true)
                             .Run([&](const VEK::FileProgress& progress) {
                                 return VEK::LoadDataFile(*path, loaded, view, TMeasurementSetup{}, progress);
                             });
    if (outcome == CFileProgressDlg::EOutcome::kCancelled)
        return;
    if (outcome == CFileProgressDlg::EOutcome::kFailed) {
        Tell(EIconKind::kError, kReadFailed);
        return;
    }
    m_controller.AdoptLoadedData(loaded);
    m_graph.ApplyLoadedView(view);
    VEK::SaveLastFolder("data", *path);
    RefreshStatus();
    Tell(EIconKind::kInformation, kReadData);
}

void CMainDlg::OfferUnsavedRuns() {
    if (!m_closing)
        m_unsavedRuns.OfferEach(m_controller.WorkingFilePath());
}

void CMainDlg::RecoverUnsavedRuns() {
    if (m_controller.RunState() != CMeasurementDataManager::kStateMeasuring)
        m_unsavedRuns.ShowList(m_controller.WorkingFilePath());
}

CUnsavedRunOffer::EOpen CMainDlg::OpenUnsavedRun(const std::string& path) {
    if (m_controller.RunState() == CMeasurementDataManager::kStateMeasuring || !DiscardCheck())
        return CUnsavedRunOffer::EOpen::kDeclined;
    // A file without scales keeps the graph's.
    VEK::TDataFileView view = m_graph.Graph().DataFileView();
    bool recovered = false;
    {
        CWaitCursor wait;
        recovered = m_controller.RecoverRun(path, view);
    }
    if (!recovered)
        return CUnsavedRunOffer::EOpen::kFailed;
    m_graph.ApplyLoadedView(view);
    RefreshStatus();
    return CUnsavedRunOffer::EOpen::kOpened;
}

void CMainDlg::ClearAllData() {
    if (m_controller.RunState() != CMeasurementDataManager::kStateHolding)
        return;
    if (m_prompt.Ask({"Are you sure to clear measurement data?", "Clear measurement data", true}))
        m_controller.ResetToIdle();
}

void CMainDlg::ToggleGraphDisplay() {
    m_graphShown = !m_graphShown;
    m_controls.GraphCheck()->setChecked(m_graphShown);
    ApplyDisplayMode();
}

void CMainDlg::ApplyDisplayMode() {
    m_controls.ApplyDisplayMode(m_graphShown, Paging().ListCount());
    Arrange();
    RefreshMenus();
    m_lists->RebuildLists();
}

void CMainDlg::Arrange() {
    SetLayout(BuildMainDlgArrangement(m_controls, m_graphShown, Paging().ListCount()));
}

void CMainDlg::SetListCount(int index) {
    m_lists->SetListCountIndex(index);
    VEK::LastOneSection("user").SetInteger("list-div", Paging().ListCountIndex());
    ApplyDisplayMode();
}

void CMainDlg::PageBack() {
    m_lists->PageBack();
}

void CMainDlg::PageForward() {
    m_lists->PageForward();
}

void CMainDlg::RefreshPageButtons() {
    m_controls.Button(Ids::kPageBack)->setEnabled(Paging().CanGoBack());
    m_controls.Button(Ids::kPageForward)->setEnabled(Paging().CanGoForward());
}

void CMainDlg::AdjustOffset() {
    // While measuring the Setup menu is disabled; the capture would take the run's reports.
    if (m_controller.RunState() == CMeasurementDataManager::kStateMeasuring || !DiscardCheck())
        return;
    CAdjustOffsetDlg adjust(m_prompt, m_controller.OffsetTable(), m_controller);
    m_controller.SetOffsetCapture(&adjust.Capture());
    m_prompt.Run(adjust);
    m_controller.SetOffsetCapture(nullptr);
    // A quit closed the dialog: the dongle is on its way to standby.
    if (!m_closing)
        m_controller.OffsetsAdjusted();
}

bool CMainDlg::ConfirmQuit() {
    IOperatorPrompt::TQuestion question{"Are you sure to quit the application?"};
    question.cancelPreselected = true;
    question.topMost = true;
    return m_prompt.Ask(question);
}

void CMainDlg::EndMeasurementForQuit() {
    if (m_controller.RunState() == CMeasurementDataManager::kStateMeasuring)
        m_controller.FinishMeasurement();
    m_controller.RunStopSequence();
}

void CMainDlg::QuitRequest() {
    if (DiscardCheck() && ConfirmQuit())
        ConfirmedQuit();
}

void CMainDlg::ConfirmedQuit() {
    m_closing = true;
    // A signal may arrive while a dialog or question is open: close those first.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal == this)
            break;
        modal->close();
        if (QApplication::activeModalWidget() == modal)
            break;  // refused to close
    }
    if (m_started)
        EndMeasurementForQuit();
    done(0);
}

void CMainDlg::QuitOnSignal() {
    // Nobody may be there to cancel the wait for the dongle's stop.
    m_controller.LimitStopWait();
    // A quit already under way goes on, its wait now limited too.
    if (!m_closing)
        ConfirmedQuit();
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    event->ignore();
    // While measuring the window's Close is disabled; Escape still asks.
    if (m_controller.RunState() != CMeasurementDataManager::kStateMeasuring)
        QuitRequest();
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    // Enter does nothing; Escape asks to quit (reject).
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

void CMainDlg::ShowAbout() {
    CAboutDlg dialog(m_parameters.firmware.result == 0 ? m_parameters.firmware.VersionText() : std::string(),
                     this);
    m_prompt.Run(dialog);
}

void CMainDlg::OnDestroy() {
    // A turned-away instance never read the settings: it must not overwrite the first one's.
    if (!m_started)
        return;
    m_started = false;
    m_controller.Shutdown();
    m_lists->SaveColumnWidths();
    VEK::SaveUserSection(m_parameters, m_graph.Scales(), VEK::LastOneSection("user"));
    SaveWindowPlacement(*this, VEK::LastOneSection("main-dlg"));
    SaveWindowPlacement(*m_counterpart, VEK::LastOneSection("opposite-dlg"));
    m_counterpart->Close();
    VEK::TraceLogger().Trace("アプリケーションを正常終了しました。");
}
