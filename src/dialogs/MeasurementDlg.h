#pragma once
#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "files/AccessorSection.h"
#include "support/SystemTime.h"

class CEditDword;
class IOperatorPrompt;
class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTimeEdit;

// Asked before a measurement starts: stop after a span, stop at a date and time, and the file the
// finished data are saved to. The choices of the check boxes and the span are remembered in
// define.ini, written only on OK.
class CMeasurementDlg : public QDialog {
    Q_OBJECT
public:
    using TNow = std::function<VEK::CSystemTime()>;

    // The stop conditions as the dialog holds them on OK.
    struct TStopChoice {
        bool stopAfter = false;
        int64_t spanMinutes = 0;
        bool stopAt = false;
        VEK::CSystemTime stopAtTime{};
    };

    // Written on OK; read when the dialog opens.
    static constexpr const char* kKeySpanHour = "meas-span-hour";
    static constexpr const char* kKeySpanMinute = "meas-span-min";
    static constexpr const char* kKeyStopAfter = "is-meas-span";
    static constexpr const char* kKeyStopAt = "is-meas-stoptime";
    static constexpr const char* kKeyAutoSave = "is-meas-autosave";
    static constexpr const char* kSpanRefused = "Set time to stop measurement correctly.";
    static constexpr const char* kFileMissing = "Set the data file name.";

    // parameter: define.ini section "parameter"; the prompt and the section are borrowed.
    CMeasurementDlg(IOperatorPrompt& prompt, VEK::AccessorSection parameter, QWidget* parent = nullptr,
                    TNow now = VEK::CSystemTime::Now);

    // After OK: the automatic save's file when "Log filename" is ticked, else empty.
    std::string DataFileName() const;
    // After OK: when the measurement stops; the invalid (all zero) time for no stop.
    VEK::CSystemTime StopTime() const { return m_stopTime; }

    // The earlier of the span's end (from now) and the stop-at time, of those ticked; the invalid
    // time when neither is. Nothing when the span is 0 or ends after the year 9999.
    static std::optional<VEK::CSystemTime> ComputeStopTime(const TStopChoice& choice,
                                                           const VEK::CSystemTime& now);

public slots:
    // OK: checks, writes the remembered choices and closes; a failed check keeps the dialog open.
    void accept() override;

private:
    void Build();
    void ApplyCheckBoxes();
    void ChooseDataFile();
    TStopChoice StopChoice() const;
    void WriteChoices() const;

    IOperatorPrompt& m_prompt;
    VEK::AccessorSection m_parameter;
    TNow m_now;
    VEK::CSystemTime m_stopTime{};

    QCheckBox* m_stopAfter = nullptr;
    CEditDword* m_hours = nullptr;
    CEditDword* m_minutes = nullptr;
    QWidget* m_hoursLabel = nullptr;
    QWidget* m_minutesLabel = nullptr;
    QCheckBox* m_stopAt = nullptr;
    QDateEdit* m_date = nullptr;
    QTimeEdit* m_time = nullptr;
    QCheckBox* m_autoSave = nullptr;
    QLineEdit* m_file = nullptr;
    QPushButton* m_browse = nullptr;
};
