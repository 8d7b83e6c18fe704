#include "app/MainDlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QVBoxLayout>
#include <cstdio>

#include "app/AboutDlg.h"
#include "app/WaitToStopDlg.h"
#include "app/WindowPlacement.h"
#include "dialogs/SystemNumberDlg.h"
#include "files/CodeTables.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"

CMainDlg::CMainDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Brisquent - Quillmark"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setMinimumSize(861, 600);
    m_status = new QLabel;
    m_status->setObjectName("status");
    m_information = new QLabel;
    m_information->setObjectName("information");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_information);
    m_startStop = new QPushButton(tr("Start"));
    m_startStop->setObjectName("startStop");
    m_startStop->setAutoDefault(false);
    connect(m_startStop, &QPushButton::clicked, this, &CMainDlg::StartStop);
    layout->addWidget(m_startStop);
    layout->addStretch(1);

    auto* about = new QAction(tr("&About..."), this);
    about->setShortcut(QKeySequence::HelpContents);
    connect(about, &QAction::triggered, this, &CMainDlg::ShowAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(&m_quitSignals, &CQuitSignalNotifier::quitRequested, this, &CMainDlg::QuitOnSignal);
    connect(&m_controller, &CMeasurementSignals::statusChanged, this, &CMainDlg::RefreshStatus);
}

CMainDlg::~CMainDlg() = default;

bool CMainDlg::InitDialog() {
    if (m_onlyWindow.Check(this)) {
        std::string text = m_onlyWindow.Problem();
        if (text.empty() && m_onlyWindow.OwnerName() == kRecorderOwner)
            text = "The headless recorder (hollowmere-record) holds the dongle. Stop it first.";
        if (!text.empty()) {
            std::fprintf(stderr, "%s\n", text.c_str());
            QMessageBox::information(this, QCoreApplication::applicationName(), QString::fromStdString(text));
        }
        return false;
    }
    m_started = true;
    VEK::TraceLogger().Trace("アプリケーションを開始しました。");

    VEK::ReadParameterSet(m_parameters, VEK::LastOneSection("user"), VEK::DefineParameterSection());
    m_scales = VEK::ReadGraphScales(VEK::LastOneSection("user"));
    RestoreWindowPlacement(*this, VEK::LastOneSection("main-dlg"), true);

    m_information->setText(
        QString("System No. %1   %2   %3")
            .arg(m_parameters.systemNumber)
            .arg(QString::fromStdString(VEK::SamplingRateName(m_parameters.polling.RateCode())),
                 QString::fromStdString(VEK::TemperatureUnitName(m_parameters.temperatureUnit))));
    if (!RunSystemNumberGate())
        return false;
    m_controller.SetDataFileView(VEK::TDataFileView{m_scales});
    m_controller.StartDeviceWatch();
    RefreshStatus();
    return true;
}

void CMainDlg::RefreshStatus() {
    m_status->setText(QString::fromStdString(m_controller.StatusText()));
    const bool measuring = m_controller.RunState() == CMeasurementDataManager::kStateMeasuring;
    m_startStop->setText(measuring ? tr("Stop") : tr("Start"));
}

void CMainDlg::ShowMessage(EIcon icon, const std::string& text) {
    VEK::TraceLogger().Trace("%s", text.c_str());
    // A signal asked to quit: nobody may be there to close a box.
    if (m_closing)
        return;
    QMessageBox box(icon == EIcon::kError ? QMessageBox::Critical : QMessageBox::Information,
                    QCoreApplication::applicationName(), QString::fromStdString(text), QMessageBox::Ok, this);
    box.exec();
}

bool CMainDlg::WaitForStopConfirmation(const std::function<bool()>& stopped) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CWaitToStopDlg dialog(stopped, this);
    QApplication::restoreOverrideCursor();
    return dialog.exec() == CWaitToStopDlg::kCancelled;
}

void CMainDlg::StartStop() {
    if (m_controller.RunState() == CMeasurementDataManager::kStateMeasuring) {
        m_controller.FinishMeasurement();
        return;
    }
    if (!DiscardCheck())
        return;
    // The start dialog's choices: no automatic save, no stop time.
    m_controller.StartMeasurement(TRunOptions{});
}

bool CMainDlg::DiscardCheck() {
    if (m_controller.RunState() != CMeasurementDataManager::kStateHolding || !m_controller.HasUnsavedRun())
        return true;
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                    QStringLiteral("The measurement data are discarded. Is it ok?"),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    return box.exec() == QMessageBox::Ok;
}

void CMainDlg::EndMeasurementForQuit() {
    if (m_controller.RunState() == CMeasurementDataManager::kStateMeasuring)
        m_controller.FinishMeasurement();
    m_controller.RunStopSequence();
}

bool CMainDlg::RunSystemNumberGate() {
    while (m_parameters.systemNumber == 0 && !m_closing) {
        CSystemNumberDlg dialog(m_parameters.systemNumber, this);
        bool accepted = dialog.exec() == QDialog::Accepted;
        if (m_closing)
            break;
        if (accepted) {
            m_parameters.systemNumber = dialog.SystemNumber();
        } else if (ConfirmQuit(this)) {
            return false;
        }
    }
    return !m_closing;
}

bool CMainDlg::ConfirmQuit(QWidget* parent) {
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                    QStringLiteral("Are you sure to quit the application?"),
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return box.exec() == QMessageBox::Ok;
}

void CMainDlg::QuitRequest() {
    if (DiscardCheck() && ConfirmQuit(this))
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
    QuitRequest();
}

void CMainDlg::ShowAbout() {
    CAboutDlg(m_parameters.firmware.result == 0 ? m_parameters.firmware.VersionText() : std::string(), this)
        .exec();
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
