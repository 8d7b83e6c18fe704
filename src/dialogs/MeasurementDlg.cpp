#include "dialogs/MeasurementDlg.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

#include "dialogs/DialogUnits.h"
#include "dialogs/OperatorPrompt.h"
#include "display/DialogFont.h"
#include "display/EditDword.h"
#include "files/FolderMemory.h"

namespace {

constexpr int64_t kMinuteMs = 60000;
constexpr const char* kDataFilter = "DATAファイル (*.csv)|*.csv|すべてのファイル (*.*)|*.*||";

VEK::CSystemTime FromQt(const QDate& date, const QTime& time) {
    VEK::CSystemTime t;
    t.year = static_cast<uint16_t>(date.year());
    t.month = static_cast<uint16_t>(date.month());
    t.day = static_cast<uint16_t>(date.day());
    t.dayOfWeek = static_cast<uint16_t>(date.dayOfWeek() % 7);
    t.hour = static_cast<uint16_t>(time.hour());
    t.minute = static_cast<uint16_t>(time.minute());
    t.second = static_cast<uint16_t>(time.second());
    return t;
}

// The end of the year 9999, the last time the fields can hold.
int64_t LastMillisecond() {
    VEK::CSystemTime end;
    end.year = 10000;
    end.month = 1;
    end.day = 1;
    return end.ToEpochMilliseconds() - 1;
}

}  // namespace

CMeasurementDlg::CMeasurementDlg(IOperatorPrompt& prompt, VEK::AccessorSection parameter, QWidget* parent,
                                 TNow now)
    : QDialog(parent), m_prompt(prompt), m_parameter(std::move(parameter)), m_now(std::move(now)) {
    setObjectName(QStringLiteral("144"));
    setWindowTitle(QStringLiteral("Start Measurement"));
    // A caption bar without system menu or close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(DialogFont(11));
    Build();

    m_hours->SetValue(static_cast<uint32_t>(m_parameter.GetInteger(kKeySpanHour, 0)));
    m_minutes->SetValue(static_cast<uint32_t>(m_parameter.GetInteger(kKeySpanMinute, 0)));
    m_stopAfter->setChecked(m_parameter.GetInteger(kKeyStopAfter, 0) != 0);
    m_stopAt->setChecked(m_parameter.GetInteger(kKeyStopAt, 0) != 0);
    m_autoSave->setChecked(m_parameter.GetInteger(kKeyAutoSave, 0) != 0);
    const VEK::CSystemTime current = m_now();
    m_date->setDate(QDate(current.year, current.month, current.day));
    m_time->setTime(QTime(current.hour, current.minute, current.second));
    ApplyCheckBoxes();
}

void CMeasurementDlg::Build() {
    const CDialogUnits units(font());
    setFixedSize(units.Size(290, 109));
    auto place = [&](QWidget* widget, const char* id, QRect rect) {
        widget->setParent(this);
        widget->setObjectName(QString::fromLatin1(id));
        PlaceInTemplate(*widget, rect);
        return widget;
    };
    m_stopAfter = new QCheckBox(QStringLiteral("Stop measurement after"));
    place(m_stopAfter, "1057", units.Rect(14, 21, 104, 10));
    m_hours = new CEditDword;
    place(m_hours, "1043", units.Rect(120, 19, 40, 14));
    m_hoursLabel = place(new QLabel(QStringLiteral("hour(s)")), "1063", units.Rect(163, 22, 29, 8));
    m_minutes = new CEditDword;
    place(m_minutes, "1044", units.Rect(204, 19, 40, 14));
    m_minutesLabel = place(new QLabel(QStringLiteral("minute(s)")), "1065", units.Rect(246, 22, 37, 8));

    m_stopAt = new QCheckBox(QStringLiteral("Stop measurement at"));
    place(m_stopAt, "1058", units.Rect(14, 43, 92, 10));
    m_date = new QDateEdit;
    m_date->setCalendarPopup(false);
    place(m_date, "1060", units.Rect(120, 41, 52, 15));
    m_time = new QTimeEdit;
    QString timeFormat = locale().timeFormat(QLocale::ShortFormat);
    if (!timeFormat.contains(QLatin1Char('s')))
        timeFormat.replace(QStringLiteral("mm"), QStringLiteral("mm:ss"));
    m_time->setDisplayFormat(timeFormat);
    place(m_time, "1061", units.Rect(188, 41, 52, 15));

    m_autoSave = new QCheckBox(QStringLiteral("Log filename"));
    place(m_autoSave, "1059", units.Rect(14, 67, 64, 10));
    m_file = new QLineEdit;
    m_file->setReadOnly(true);
    place(m_file, "1062", units.Rect(88, 65, 174, 14));
    m_browse = new QPushButton(QStringLiteral("..."));
    m_browse->setAutoDefault(false);
    place(m_browse, "1042", units.Rect(268, 65, 15, 14));

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    place(ok, "1", units.Rect(79, 88, 50, 14));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setAutoDefault(false);
    place(cancel, "2", units.Rect(156, 88, 50, 14));

    for (QCheckBox* box : {m_stopAfter, m_stopAt, m_autoSave})
        connect(box, &QCheckBox::clicked, this, &CMeasurementDlg::ApplyCheckBoxes);
    connect(m_browse, &QPushButton::clicked, this, &CMeasurementDlg::ChooseDataFile);
    connect(ok, &QPushButton::clicked, this, &CMeasurementDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CMeasurementDlg::reject);
}

void CMeasurementDlg::ApplyCheckBoxes() {
    const bool after = m_stopAfter->isChecked();
    for (QWidget* widget :
         {static_cast<QWidget*>(m_hours), m_hoursLabel, static_cast<QWidget*>(m_minutes), m_minutesLabel})
        widget->setEnabled(after);
    m_date->setEnabled(m_stopAt->isChecked());
    m_time->setEnabled(m_stopAt->isChecked());
    m_file->setEnabled(m_autoSave->isChecked());
    m_browse->setEnabled(m_autoSave->isChecked());
}

void CMeasurementDlg::ChooseDataFile() {
    IOperatorPrompt::TFileRequest request;
    request.save = true;
    request.filter = kDataFilter;
    request.defaultExtension = "*.csv";
    request.proposedName = m_file->text().toStdString();
    if (request.proposedName.empty())
        request.proposedName = m_now().Format("%Y%m%d_%H%M%S.csv");
    request.startFolder = VEK::LoadLastFolder("data");
    if (std::optional<std::string> path = m_prompt.ChooseFile(request))
        m_file->setText(QString::fromStdString(*path));
}

CMeasurementDlg::TStopChoice CMeasurementDlg::StopChoice() const {
    TStopChoice choice;
    choice.stopAfter = m_stopAfter->isChecked();
    choice.spanMinutes = static_cast<int64_t>(m_minutes->Value().value_or(0)) +
                         60 * static_cast<int64_t>(m_hours->Value().value_or(0));
    choice.stopAt = m_stopAt->isChecked();
    choice.stopAtTime = FromQt(m_date->date(), m_time->time());
    return choice;
}

std::optional<VEK::CSystemTime> CMeasurementDlg::ComputeStopTime(const TStopChoice& choice,
                                                                 const VEK::CSystemTime& now) {
    VEK::CSystemTime stop{};
    if (choice.stopAfter) {
        if (choice.spanMinutes <= 0)
            return std::nullopt;
        const int64_t nowMs = now.ToEpochMilliseconds();
        if (choice.spanMinutes > (LastMillisecond() - nowMs) / kMinuteMs)
            return std::nullopt;
        stop = VEK::CSystemTime::FromEpochMilliseconds(nowMs + choice.spanMinutes * kMinuteMs);
    }
    if (choice.stopAt && (!stop.IsValid() || choice.stopAtTime.Compare(stop) < 0))
        stop = choice.stopAtTime;
    return stop;
}

void CMeasurementDlg::accept() {
    const TStopChoice choice = StopChoice();
    const std::optional<VEK::CSystemTime> stop = ComputeStopTime(choice, m_now());
    if (!stop) {
        m_prompt.Tell(IOperatorPrompt::EIcon::kExclamation, kSpanRefused);
        m_hours->setFocus();
        return;
    }
    if (m_autoSave->isChecked() && m_file->text().isEmpty()) {
        m_prompt.Tell(IOperatorPrompt::EIcon::kExclamation, kFileMissing);
        m_file->setFocus();
        return;
    }
    m_stopTime = *stop;
    WriteChoices();
    QDialog::accept();
}

void CMeasurementDlg::WriteChoices() const {
    m_parameter.SetInteger(kKeySpanHour, static_cast<int32_t>(m_hours->Value().value_or(0)));
    m_parameter.SetInteger(kKeySpanMinute, static_cast<int32_t>(m_minutes->Value().value_or(0)));
    m_parameter.SetInteger(kKeyStopAfter, m_stopAfter->isChecked() ? 1 : 0);
    m_parameter.SetInteger(kKeyStopAt, m_stopAt->isChecked() ? 1 : 0);
    m_parameter.SetInteger(kKeyAutoSave, m_autoSave->isChecked() ? 1 : 0);
}

std::string CMeasurementDlg::DataFileName() const {
    return m_autoSave->isChecked() ? m_file->text().toStdString() : std::string();
}
