#pragma once
#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "files/UnsavedRun.h"

class QPushButton;
class QTableWidget;

// File > Recover Unsaved Runs…: the runs that were never saved, newest first, with their start
// time, records, channels and size. Open ends the dialog with kOpen and the chosen run; Delete
// hands the chosen run to the window, which asks and deletes it, and the list drops it; Keep
// closes the dialog and leaves every file as it is.
class CUnsavedRunsDlg : public QDialog {
    Q_OBJECT
public:
    enum { kOpen = 2 };

    // remove: true when the run was deleted.
    CUnsavedRunsDlg(std::vector<VEK::TUnsavedRun> runs, std::function<bool(const VEK::TUnsavedRun&)> remove,
                    QWidget* parent = nullptr);

    // The run Open was pressed for.
    const std::optional<VEK::TUnsavedRun>& Chosen() const { return m_chosen; }
    // "812 bytes", "13.4 KB", "2.1 MB".
    static QString SizeText(uint64_t bytes);

private:
    void Fill();
    void OnOpen();
    void OnDelete();
    void RefreshButtons();
    int SelectedRow() const;

    std::vector<VEK::TUnsavedRun> m_runs;
    std::function<bool(const VEK::TUnsavedRun&)> m_remove;
    std::optional<VEK::TUnsavedRun> m_chosen;
    QTableWidget* m_table;
    QPushButton* m_open;
    QPushButton* m_delete;
};
