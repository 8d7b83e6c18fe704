#include "app/MainDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <cstdio>

#include "app/AboutDlg.h"
#include "app/CounterpartTitle.h"
#include "app/FileProgressDlg.h"
#include "app/InformationLine.h"
#include "app/StatusLook.h"
#include "app/WaitCursor.h"
#include "app/WaitToStopDlg.h"
#include "app/WindowPlacement.h"
#include "data/SamplingRate.h"
#include "dialogs/MeasurementDlg.h"
#include "dialogs/QtOperatorPrompt.h"
#include "dialogs/SystemNumberDlg.h"
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
    : QDialog(parent),
      m_ownPrompt(prompt == nullptr ? std::make_unique<CQtOperatorPrompt>(this) : nullptr),
      m_prompt(prompt == nullptr ? *m_ownPrompt : *prompt) {
    setObjectName(QStringLiteral("102"));
    setWindowTitle(QStringLiteral("Brisquent - Quillmark"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setMinimumSize(861, 600);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor::fromRgb(kBackground));
    setPalette(background);

    auto* about = new QAction(tr("&About..."), this);
    about->setShortcut(QKeySequence::HelpContents);
    connect(about, &QAction::triggered, this, &CMainDlg::ShowAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(&m_quitSignals, &CQuitSignalNotifier::quitRequested, this, &CMainDlg::QuitOnSignal);
    ConnectCommands();
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
        {Ids::kClearAllData, &CMainDlg::ClearAllData},
        {Ids::kGraphDisplay, &CMainDlg::ToggleGraphDisplay},
        {Ids::kSetup, &CMainDlg::Setup},
        {Ids::kAdjustOffset, &CMainDlg::AdjustOffset}};
    for (const auto& [command, handler] : commands)
        connect(m_controls.Action(command), &QAction::triggered, this, handler);
    connect(m_controls.GraphCheck(), &QCheckBox::clicked, this, &CMainDlg::ApplyDisplayMode);
    connect(m_controls.ListCountBox(), &QComboBox::activated, this, &CMainDlg::SetListCount);
    connect(m_controls.Button(Ids::kPageBack), &QPushButton::clicked, this, &CMainDlg::PageBack);
    connect(m_controls.Button(Ids::kPageForward), &QPushButton::clicked, this, &CMainDlg::PageForward);

    connect(&m_controller, &CMeasurementSignals::statusChanged, this, &CMainDlg::RefreshStatus);
    connect(&m_controller, &CMeasurementSignals::publishStatusChanged, this,
            &CMainDlg::RefreshInformationLine);
    connect(&m_controller, &CMeasurementSignals::rebuildRequested, this, &CMainDlg::RebuildLists);
    connect(&m_controller, &CMeasurementSignals::samplingTick, this, &CMainDlg::RefreshCounterpartTitle);
    connect(&m_controller, &CMeasurementSignals::holdAndCursorReleased, this,
            [this] { SetCursorMode(false); });
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
    VEK::TraceLogger().Trace("アプリケーションを開始しました。");

    VEK::ReadParameterSet(m_parameters, VEK::LastOneSection("user"), VEK::DefineParameterSection());
    m_scales = VEK::ReadGraphScales(VEK::LastOneSection("user"));
    RestoreWindowPlacement(*this, VEK::LastOneSection("main-dlg"), true);
    const int listCount =
        VEK::LastOneSection("user").GetInteger("list-div", CListPaging::kDefaultListCountIndex);
    m_paging.SetListCountIndex(listCount);
    m_controls.ListCountBox()->setCurrentIndex(m_paging.ListCountIndex());
    ApplyDisplayMode();
    RefreshStatus();
    if (!RunSystemNumberGate())
        return false;
    m_controller.SetDataFileView(DataFileView());
    m_controller.StartDeviceWatch();
    StartPublishing();
    RefreshStatus();
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

VEK::TDataFileView CMainDlg::DataFileView() const {
    VEK::TDataFileView view;
    view.scales = m_scales;
    view.firstVisibleRecord = m_graphStart;
    view.samplesPerScreen = m_samplesPerScreen;
    return view;
}

void CMainDlg::RefreshStatus() {
    const int state = m_controller.RunState();
    const bool measuring = state == CMeasurementDataManager::kStateMeasuring;
    m_statusLine.Refresh(m_controller.StatusText(), TStatusLook::For(state, m_controller.IsConnected(),
                                                                     m_controller.ConnectionAttempted()));
    QPushButton* startStop = m_controls.Button(Ids::kStartStop);
    startStop->setText(measuring ? tr("Stop") : tr("Start"));
    startStop->setToolTip(startStop->text());
    const TCommandAvailability availability = TCommandAvailability::For(
        state, m_controller.IsConnected(), m_cursorOn, m_controller.PollingSetting());
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
    m_controls.Label(Ids::kInformation)->setText(QString::fromStdString(line.Text()));
}

void CMainDlg::RefreshMenus() {
    const TCommandAvailability availability = TCommandAvailability::For(
        m_controller.RunState(), m_controller.IsConnected(), m_cursorOn, m_controller.PollingSetting());
    m_controls.Action(Ids::kSaveData)->setEnabled(availability.saveData);
    m_controls.Action(Ids::kDeleteBefore)->setEnabled(availability.deletions);
    m_controls.Action(Ids::kDeleteAfter)->setEnabled(availability.deletions);
    m_controls.Action(Ids::kGraphDisplay)->setChecked(m_graphShown);
    m_controls.Action(Ids::kAdjustOffset)->setEnabled(static_cast<bool>(m_adjustOffset));
    // The setup file commands come with the setup file.
    m_controls.Action(Ids::kExportSetup)->setEnabled(false);
    m_controls.Action(Ids::kImportSetup)->setEnabled(false);
}

void CMainDlg::RefreshCounterpartTitle() {
    if (m_counterpart == nullptr || !m_counterpart->isVisible())
        return;
    CMeasurementDataManager& store = m_controller.Store();
    TCounterpartTitle title;
    title.measuring = store.State() == CMeasurementDataManager::kStateMeasuring;
    title.elapsedText = m_controls.Label(Ids::kElapsedReadout)->text().toStdString();
    title.recordsMeasured = store.RecordsThisRun();
    title.start = m_graphStart;
    title.samplesPerScreen = m_samplesPerScreen;
    title.periodMs = SamplingPeriodMilliseconds(store.SamplingRateCode());
    m_counterpart->setWindowTitle(QString::fromStdString(title.Text()));
}

void CMainDlg::SetCounterpartWindow(QWidget* window) {
    m_counterpart = window;
}

void CMainDlg::SetOffsetAdjustment(std::function<void(IShortMeasurementExecutable&)> adjust) {
    m_adjustOffset = std::move(adjust);
    RefreshMenus();
}

void CMainDlg::SetCursorMode(bool on) {
    m_cursorOn = on;
    RefreshMenus();
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
    m_controller.SetDataFileView(DataFileView());
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
    const VEK::TDataFileView view = DataFileView();
    const auto outcome = CFileProgressDlg(this, QStringLiteral("Saving data to the file..."), false)
                             .Run([&](const VEK::FileProgress& progress) {
                                 return VEK::WriteDataFileAtomically(*path, store, view, progress);
                             });
    if (outcome != CFileProgressDlg::EOutcome::kDone) {
        Tell(EIconKind::kError, kSaveFailed);
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
    VEK::TDataFileView view = DataFileView();
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
    m_scales = view.scales;
    m_graphStart = view.firstVisibleRecord;
    VEK::SaveLastFolder("data", *path);
    RefreshStatus();
    Tell(EIconKind::kInformation, kReadData);
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
    m_controls.ApplyDisplayMode(m_graphShown, m_paging.ListCount());
    RefreshMenus();
    RebuildLists();
}

void CMainDlg::SetListCount(int index) {
    m_paging.SetListCountIndex(index);
    VEK::LastOneSection("user").SetInteger("list-div", m_paging.ListCountIndex());
    ApplyDisplayMode();
}

void CMainDlg::PageBack() {
    if (m_paging.GoBack())
        RebuildLists();
}

void CMainDlg::PageForward() {
    if (m_paging.GoForward())
        RebuildLists();
}

void CMainDlg::RebuildLists() {
    const std::vector<int32_t> channels = m_controller.Store().ChannelsInUse();
    m_paging.SetHighestChannel(channels.empty() ? 0 : channels.back());
    m_controls.Button(Ids::kPageBack)->setEnabled(m_paging.CanGoBack());
    m_controls.Button(Ids::kPageForward)->setEnabled(m_paging.CanGoForward());
    for (int i = 0; i < CListPaging::kMaxLists; ++i) {
        const int first = m_paging.FirstChannel(i);
        m_controls.Label(CMainDlgControls::kLists[i])
            ->setText(
                QStringLiteral("Channels %1 - %2").arg(first).arg(first + CListPaging::kChannelsPerList - 1));
    }
}

void CMainDlg::Setup() {
    if (!DiscardCheck())
        return;
    CSystemNumberDlg dialog(m_parameters.systemNumber, this);
    if (m_prompt.Run(dialog) != QDialog::Accepted)
        return;
    const uint32_t previous = m_parameters.systemNumber;
    m_parameters.systemNumber = dialog.SystemNumber();
    if (m_parameters.systemNumber == previous) {
        m_controller.ResetToIdle();
    } else {
        // The dongle stops and is configured afresh with the new number once reopened.
        m_controller.RunStopSequence();
        m_controller.DetachDongle();
    }
    RefreshStatus();
}

void CMainDlg::AdjustOffset() {
    if (!m_adjustOffset || !DiscardCheck())
        return;
    m_adjustOffset(m_controller);
    m_controller.ResetToIdle();
}

bool CMainDlg::RunSystemNumberGate() {
    while (m_parameters.systemNumber == 0 && !m_closing) {
        CSystemNumberDlg dialog(m_parameters.systemNumber, this);
        const bool accepted = m_prompt.Run(dialog) == QDialog::Accepted;
        if (m_closing)
            break;
        if (accepted) {
            m_parameters.systemNumber = dialog.SystemNumber();
            RefreshStatus();
        } else if (ConfirmQuit()) {
            return false;
        }
    }
    return !m_closing;
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
    VEK::SaveUserSection(m_parameters, m_scales, VEK::LastOneSection("user"));
    SaveWindowPlacement(*this, VEK::LastOneSection("main-dlg"));
    VEK::TraceLogger().Trace("アプリケーションを正常終了しました。");
}
