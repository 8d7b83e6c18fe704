#pragma once
#include <QDialog>
#include <QTimer>
#include <memory>
#include <string>

#include "counterpart/OppositeSession.h"
#include "counterpartwin/OppositeServer.h"
#include "dialogs/OperatorPrompt.h"

class CEditDword;
class COppositeUnitEditor;
class QLabel;
class QPushButton;

// The counterpart window "対向": a front end over a counterpart session, which plays the dongle
// and its units on the application's development port. The session does the work on its own
// threads; the window edits its unit table, starts and stops it and its periodic cycle, sends
// single cycles and the stop notice, replays data files, and shows the session's status, which it
// polls while it is visible.
class COppositeDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kStatusPollMs = 200;

    // Fronts a session of its own that connects to the server; its settings are lastone.ini
    // "oppo". prompt (borrowed) answers the window's boxes; by default the platform's, modal to
    // this window.
    explicit COppositeDlg(const TOppositeServer& server, IOperatorPrompt* prompt = nullptr);
    // Fronts a session that runs elsewhere in the process (hollowmere --simulate) and must outlive
    // the window; "oppo" is neither read nor written.
    explicit COppositeDlg(COppositeSession& session, IOperatorPrompt* prompt = nullptr);
    ~COppositeDlg() override;

    // Opening: the settings, unit 1 into the controls, both statics 10 ms later.
    void Open();
    // Closing: stores the settings, once, if they were read at the opening.
    void Close();

    COppositeSession& Session() { return m_session; }
    bool KeepsSettings() const { return m_ownSession != nullptr; }
    COppositeUnitEditor& UnitEditor() { return *m_units; }

    // Replays a data file in place of the table's values; false (and no replay) for a file that
    // is not a data file or holds no records.
    bool StartReplay(const std::string& path);
    void StopReplay();
    // The session's state into the controls: connect label, periodic cycle, status line.
    void RefreshStatus();

public slots:
    // 1036: connect or disconnect.
    void ToggleConnection();
    // 1042: start or stop the periodic cycle.
    void TogglePeriodic();
    // 1055: pick a data file to replay, or leave replay.
    void ToggleReplay();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    COppositeDlg(std::unique_ptr<COppositeSession> own, COppositeSession* borrowed, IOperatorPrompt* prompt);
    void Build();
    void ConnectControls();
    void Tell(const std::string& text);
    uint32_t PeriodToStore() const;

    std::unique_ptr<COppositeSession> m_ownSession;
    COppositeSession& m_session;
    std::unique_ptr<IOperatorPrompt> m_ownPrompt;
    IOperatorPrompt& m_prompt;
    COppositeUnitEditor* m_units = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_periodic = nullptr;
    CEditDword* m_period = nullptr;
    QPushButton* m_replay = nullptr;
    QLabel* m_status = nullptr;
    QTimer m_statusPoll;
    // The periodic cycle as the controls show it: 0 none.
    uint32_t m_shownPeriodMs = 0;
    bool m_opened = false;
};
