#pragma once
#include <QDialog>

#include "dialogs/SetupDlgModel.h"

class CDialogUnits;
class CSetupListView;
class IOperatorPrompt;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QMenu;
class QRadioButton;

// "SETUP": system number, sampling rate, temperature unit, the information columns of the lists,
// and per channel its use, thermocouple type and comment. Works on a copy of the parameter set,
// which Parameters() gives after OK; Cancel discards every change, the clicks' included.
class CSetupDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kSystemNumberRefused = "Set the system number correctly.";

    // The prompt is borrowed; it shows the message and runs the comment dialog.
    CSetupDlg(IOperatorPrompt& prompt, const VEK::TParameterSet& set, QWidget* parent = nullptr);

    const VEK::TParameterSet& Parameters() const { return m_model.Parameters(); }
    const CSetupDlgModel& Model() const { return m_model; }

public slots:
    // OK: a system number outside 1 to 64 is refused and the dialog stays, its edits kept.
    void accept() override;

private:
    void Build();
    // A label at its place in the template, widened to its text when the font needs it.
    void PlaceLabel(const QString& text, QRect rect, int controlsLeft);
    // A check-box column's title, centred over the boxes of the column whose left edge is given.
    void PlaceColumnTitle(const QString& text, int columnLeft, QRect rect);
    void BuildCheckBoxes(const CDialogUnits& units);
    void BuildTypeMenu();
    void ApplyChoices(const CSetupDlgModel::TChoices& choices);
    CSetupDlgModel::TChoices Choices() const;
    void OnCellClicked(int row, int column, const QRect& globalCell);
    void EditComment(int channel);

    IOperatorPrompt& m_prompt;
    CSetupDlgModel m_model;
    QComboBox* m_rate = nullptr;
    QComboBox* m_systemNumber = nullptr;
    CSetupListView* m_list = nullptr;
    // Comment, Type, Battery, Version of the ON (beside the graph) and OFF (lists only) columns.
    QCheckBox* m_single[4] = {};
    QCheckBox* m_only[4] = {};
    QRadioButton* m_celsius = nullptr;
    QRadioButton* m_fahrenheit = nullptr;
    QMenu* m_typeMenu = nullptr;
};
