#pragma once
#include <QDialog>
#include <string>
#include <vector>

#include "files/OffsetCapture.h"
#include "files/OffsetTable.h"

class IOperatorPrompt;
class IShortMeasurementExecutable;
class QEventLoop;
class QLabel;
class QLineEdit;
class QMenu;
class QTableWidget;

// "Adjust Offset": which channels use a PC-side offset, the offsets got from the units by a short
// measurement or cleared, and the table saved to or loaded from an offset data file. Edits the
// table in place. The capture must be handed to the receive path while the dialog exists.
class CAdjustOffsetDlg : public QDialog {
    Q_OBJECT
public:
    // Longest wait for the units' answers.
    static constexpr int kCaptureWaitMs = 3000;
    static constexpr const char* kFilter = "OFFSET File (*.csv)|*.csv|All Files (*.*)|*.*||";

    // All borrowed; they outlive the dialog. channelsInUse: those the short measurement polls,
    // which "ALL" asks for.
    CAdjustOffsetDlg(IOperatorPrompt& prompt, VEK::TOffsetTable& table, IShortMeasurementExecutable& shortRun,
                     const std::vector<int>& channelsInUse, QWidget* parent = nullptr);
    ~CAdjustOffsetDlg() override;

    VEK::COffsetCapture& Capture() { return m_capture; }
    // "not saved", or the file name with "*" while the table is modified.
    std::string FileField() const;

public slots:
    // The popup menu's commands for the row clicked last.
    void GetOffsetData();
    void ClearOffsetData();
    void SaveOffset();
    void LoadOffset();

protected:
    // Closing, a quit included, ends a wait for the units at once.
    void closeEvent(QCloseEvent* event) override;

private:
    void Build();
    void OnCellClicked(int row, int column);
    void OnCommentEdited(const QString& text);
    void RefreshList();
    void RefreshFileField();
    void FillChannelRow(int channel);
    void FillAllRow();

    IOperatorPrompt& m_prompt;
    VEK::TOffsetTable& m_table;
    IShortMeasurementExecutable& m_shortRun;
    VEK::COffsetCapture m_capture;
    QTableWidget* m_list = nullptr;
    QLabel* m_fileField = nullptr;
    QLineEdit* m_comment = nullptr;
    QMenu* m_menu = nullptr;
    // The row the menu was opened for: 0 "ALL", else the channel.
    int m_menuRow = 0;
    // Set while waiting for the units' answers.
    QEventLoop* m_wait = nullptr;
    bool m_closing = false;
};
