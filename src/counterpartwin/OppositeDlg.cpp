#include "counterpartwin/OppositeDlg.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <chrono>

#include "counterpart/ReplayFile.h"
#include "counterpartwin/OppositeRanges.h"
#include "counterpartwin/OppositeSettings.h"
#include "counterpartwin/OppositeUnitEditor.h"
#include "dialogs/QtOperatorPrompt.h"
#include "display/EditDword.h"
#include "files/FolderMemory.h"
#include "files/Settings.h"

namespace {

constexpr const char* kTitle = "対向";
constexpr const char* kDataFilter = "DATAファイル (*.csv)|*.csv|すべてのファイル (*.*)|*.*||";
constexpr int kStaticsDelayMs = 10;

uint32_t Seed() {
    return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

QPushButton* Button(int id, const char* text) {
    auto* button = new QPushButton(QString::fromUtf8(text));
    button->setObjectName(QString::number(id));
    // Enter in an edit must not send anything.
    button->setAutoDefault(false);
    return button;
}

// The local file of a drag, if it carries one.
QString DraggedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty() || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

}  // namespace

COppositeDlg::COppositeDlg(const TOppositeServer& server, IOperatorPrompt* prompt)
    : COppositeDlg(std::make_unique<COppositeSession>(Seed()), nullptr, prompt) {
    m_session.SetServer(server.host, server.port);
}

COppositeDlg::COppositeDlg(COppositeSession& session, IOperatorPrompt* prompt)
    : COppositeDlg(nullptr, &session, prompt) {}

COppositeDlg::COppositeDlg(std::unique_ptr<COppositeSession> own, COppositeSession* borrowed,
                           IOperatorPrompt* prompt)
    : m_ownSession(std::move(own)),
      m_session(m_ownSession != nullptr ? *m_ownSession : *borrowed),
      m_ownPrompt(prompt == nullptr ? std::make_unique<CQtOperatorPrompt>(this) : nullptr),
      m_prompt(prompt == nullptr ? *m_ownPrompt : *prompt) {
    setObjectName(QStringLiteral("137"));
    setWindowTitle(QString::fromUtf8(kTitle));
    Build();
    ConnectControls();
    m_statusPoll.setInterval(kStatusPollMs);
    connect(&m_statusPoll, &QTimer::timeout, this, &COppositeDlg::RefreshStatus);
}

// An own session stops with the window; a borrowed one is its owner's to stop.
COppositeDlg::~COppositeDlg() = default;

void COppositeDlg::Build() {
    m_connect = Button(1036, "接続");
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The text grows with the counters: it is cut at the window's edge rather than widening the
    // window under the pointer.
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* top = new QHBoxLayout;
    top->addWidget(m_connect);
    top->addWidget(m_status, 1);

    m_periodic = Button(1042, "開始");
    m_period = new CEditDword;
    m_period->setObjectName(QStringLiteral("1043"));
    m_period->SetRange(TOppositeRanges::kPeriodMin, TOppositeRanges::kPeriodMax);
    m_period->setFixedWidth(90);
    auto* measurement = new QGroupBox(QStringLiteral("測定データ"));
    auto* measurementRow = new QHBoxLayout(measurement);
    measurementRow->addWidget(Button(1038, "送信"));
    measurementRow->addSpacing(12);
    measurementRow->addWidget(new QLabel(QStringLiteral("周期")));
    measurementRow->addWidget(m_period);
    measurementRow->addWidget(new QLabel(QStringLiteral("ms")));
    measurementRow->addWidget(m_periodic);
    measurementRow->addStretch();
    auto* information = new QGroupBox(QStringLiteral("ユニット情報"));
    auto* informationRow = new QHBoxLayout(information);
    informationRow->addWidget(Button(1039, "送信"));
    informationRow->addStretch();
    auto* cycles = new QHBoxLayout;
    cycles->addWidget(measurement, 1);
    cycles->addWidget(information);

    auto* unitBox = new QGroupBox(QStringLiteral("ユニット"));
    m_units = new COppositeUnitEditor(m_session);
    (new QVBoxLayout(unitBox))->addWidget(m_units);

    m_replay = Button(1055, "File Data");
    m_replay->setCheckable(true);
    m_replay->setAcceptDrops(true);
    m_replay->installEventFilter(this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Button(1037, "送信完了通知(停止)"));
    bottom->addWidget(m_replay);
    bottom->addStretch();
    bottom->addWidget(Button(2, "Hide"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(cycles);
    layout->addWidget(unitBox);
    layout->addLayout(bottom);
    // The operator sizes the window; the controls keep their room.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

void COppositeDlg::ConnectControls() {
    auto button = [this](int id) { return findChild<QPushButton*>(QString::number(id)); };
    connect(m_connect, &QPushButton::clicked, this, &COppositeDlg::ToggleConnection);
    connect(m_periodic, &QPushButton::clicked, this, &COppositeDlg::TogglePeriodic);
    connect(m_replay, &QPushButton::clicked, this, &COppositeDlg::ToggleReplay);
    connect(button(1038), &QPushButton::clicked, this, [this] {
        if (m_session.IsRunning())
            m_session.SendMeasurementCycle();
    });
    // Sent whether connected or not: a send without a connection is lost, as on the radio.
    connect(button(1039), &QPushButton::clicked, this, [this] { m_session.SendInformationCycle(); });
    connect(button(1037), &QPushButton::clicked, this, [this] { m_session.SendStopNotice(); });
    connect(button(2), &QPushButton::clicked, this, &QDialog::reject);
}

void COppositeDlg::Open() {
    if (m_opened)
        return;
    m_opened = true;
    uint32_t period = TOppositeRanges::kDefaultPeriod;
    if (KeepsSettings()) {
        const COppositeSettings settings(VEK::LastOneSection("oppo"));
        period = settings.Period();
        const COppositeUnitTable units = settings.Units();
        m_session.WithEngine([&](COppositeEngine& engine) {
            engine.Units() = units;
            engine.ResetCounters();
        });
    }
    m_period->SetValue(period);
    m_units->SelectUnit(1);
    QTimer::singleShot(kStaticsDelayMs, m_units, &COppositeUnitEditor::RefreshStatics);
    RefreshStatus();
}

void COppositeDlg::Close() {
    if (!m_opened)
        return;
    m_opened = false;
    if (!KeepsSettings())
        return;
    const COppositeUnitTable units =
        m_session.WithEngine([](COppositeEngine& engine) { return engine.Units(); });
    COppositeSettings(VEK::LastOneSection("oppo")).Write(PeriodToStore(), units);
}

uint32_t COppositeDlg::PeriodToStore() const {
    return m_period->Value().value_or(0);
}

void COppositeDlg::Tell(const std::string& text) {
    m_prompt.Tell(IOperatorPrompt::EIcon::kError, text, kTitle);
}

void COppositeDlg::RefreshStatus() {
    const COppositeSession::TStatus status = m_session.Status();
    m_connect->setText(status.started ? QStringLiteral("切断") : QStringLiteral("接続"));
    const uint32_t periodMs = status.periodic ? status.periodMs : 0;
    if (periodMs != m_shownPeriodMs) {
        m_shownPeriodMs = periodMs;
        if (periodMs != 0)
            m_period->SetValue(periodMs);
        m_period->setEnabled(periodMs == 0);
        m_periodic->setText(periodMs != 0 ? QStringLiteral("停止") : QStringLiteral("開始"));
    }
    m_status->setText(QString::fromStdString(status.Text()));
    m_status->setToolTip(m_status->text());
}

void COppositeDlg::ToggleConnection() {
    if (m_session.IsRunning())
        m_session.Stop();
    else
        m_session.Start();
    RefreshStatus();
}

void COppositeDlg::TogglePeriodic() {
    if (m_session.Status().periodic) {
        m_session.StopPeriodic();
    } else if (!m_session.IsRunning()) {
        Tell("接続していません");
    } else if (const std::optional<uint32_t> period = m_period->Value();
               period && *period >= TOppositeRanges::kPeriodByHandMin) {
        m_session.StartPeriodic(*period);
    } else {
        Tell("周期を入力してください");
    }
    RefreshStatus();
}

void COppositeDlg::ToggleReplay() {
    // The click has toggled the button already; it shows replay only once a file is taken.
    if (m_session.WithEngine([](COppositeEngine& engine) { return engine.IsReplaying(); })) {
        StopReplay();
        return;
    }
    m_replay->setChecked(false);
    IOperatorPrompt::TFileRequest request{false, kDataFilter, "*.csv"};
    request.startFolder = VEK::LoadLastFolder("data");
    if (const std::optional<std::string> path = m_prompt.ChooseFile(request))
        StartReplay(*path);
}

bool COppositeDlg::StartReplay(const std::string& path) {
    std::shared_ptr<CMeasurementDataManager> data = ReadReplayFile(path);
    // A file without records is refused like one that cannot be read.
    if (data == nullptr ||
        !m_session.WithEngine([&](COppositeEngine& engine) { return engine.SetReplay(std::move(data)); })) {
        StopReplay();
        return false;
    }
    m_replay->setChecked(true);
    VEK::SaveLastFolder("data", path);
    return true;
}

void COppositeDlg::StopReplay() {
    m_session.WithEngine([](COppositeEngine& engine) { engine.SetReplay(nullptr); });
    m_replay->setChecked(false);
}

void COppositeDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    RefreshStatus();
    m_statusPoll.start();
}

void COppositeDlg::hideEvent(QHideEvent* event) {
    m_statusPoll.stop();
    QDialog::hideEvent(event);
}

bool COppositeDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_replay)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter) {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        if (!DraggedFile(drag->mimeData()).isEmpty())
            drag->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString file = DraggedFile(drop->mimeData());
        if (!file.isEmpty()) {
            drop->acceptProposedAction();
            StartReplay(file.toStdString());
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
