#pragma once
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "controller/MeasurementController.h"

// hollowmere-record after the save of its data failed (a full disk, a folder not mounted): the
// records stay in memory and the save is tried again every few seconds until it works or the wait
// runs out; a quit signal asks for one last try. Then the data go to a fallback folder, so that
// the recorder never ends with records only it held. Window thread.
class CSaveWait : public QObject {
    Q_OBJECT
public:
    struct TResult {
        bool savedAsAsked = false;  // the data file the operator named holds the data
        std::string file;           // the file that holds the run; empty when none does
    };
    using TDone = std::function<void(const TResult&)>;

    // controller: holds the finished data (borrowed). outFile: the data file asked for.
    CSaveWait(CMeasurementController& controller, std::string outFile, std::chrono::seconds wait,
              std::chrono::seconds retry, TDone done, QObject* parent = nullptr);

    // The save has just failed with problem ("x.csv: No space left on device"): says what happens
    // next and starts trying.
    void Begin(const std::string& problem);
    // SIGINT/SIGTERM: one more try, then the fallback.
    void LastTry();
    bool Waiting() const { return m_waiting; }
    // Where the data go when the file asked for cannot be written: $XDG_RUNTIME_DIR when it is a
    // folder, else the working files' folder.
    static std::vector<std::string> FallbackFolders();

private:
    void Retry();
    // Tries the file asked for once; true when it worked (done has been called).
    bool TrySave();
    void SaveElsewhere();
    void Finish(const TResult& result);

    CMeasurementController& m_controller;
    const std::string m_outFile;
    const std::chrono::seconds m_wait;
    TDone m_done;
    QTimer m_retry;
    std::chrono::steady_clock::time_point m_deadline;
    std::string m_problem;  // as last told
    bool m_waiting = false;
};
