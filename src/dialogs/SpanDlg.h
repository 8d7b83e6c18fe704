#pragma once
// The span window: a tool window beside the main window, owned by it, that asks nothing. It shows
// the span between the graph's cursors A and B (records and clock times, the time between them)
// and per channel in use the statistics of the readings in it, in the data's unit. It follows the
// cursors at once and, while measuring, the data as they arrive (B then stands at the newest
// record). Copy puts the table on the clipboard as CSV text; Save as CSV writes it to a file.
#include <QDialog>
#include <QTimer>
#include <memory>

#include "data/MeasurementDataManager.h"
#include "dialogs/OperatorPrompt.h"
#include "dialogs/SpanTableModel.h"
#include "display/Graph.h"

class QLabel;
class QPushButton;
class QTableView;

class CSpanDlg : public QDialog {
    Q_OBJECT
public:
    // All borrowed; they outlive the window. prompt answers the window's file choice and boxes; by
    // default the platform's, modal to this window.
    CSpanDlg(const CMeasurementDataManager& store, const CGraph& graph, IOperatorPrompt* prompt = nullptr,
             QWidget* parent = nullptr);
    ~CSpanDlg() override;

    const CSpanTableModel& Model() const { return m_model; }
    // The ends' lines above the table.
    QString EndsText() const;

public slots:
    // The span and its figures anew, while the window is shown.
    void Refresh();
    void CopyTable();
    void SaveTable();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowEnds(const TGraphSpan& span);

    const CMeasurementDataManager& m_store;
    const CGraph& m_graph;
    std::unique_ptr<IOperatorPrompt> m_ownPrompt;
    IOperatorPrompt& m_prompt;
    CSpanTableModel m_model;
    QLabel* m_ends = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_save = nullptr;
    // Many changes in one pass of the event loop (a scale change redraws and moves the cursor)
    // make one refresh.
    QTimer m_refresh;
};
