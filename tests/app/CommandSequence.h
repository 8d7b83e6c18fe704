#pragma once
// A random sequence of the operator's commands on the main window, with what must always hold
// checked after every step. The seed decides every command and every answer, so a sequence that
// fails can be run again with the same seed (the simulated units' timing may differ a little).
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "SequenceWorld.h"

class CCommandSequence {
public:
    explicit CCommandSequence(uint32_t seed);

    // Runs up to steps commands, each printed as it runs; empty when everything held, else what
    // went wrong with the seed and the steps that led there.
    std::string Run(int steps);

private:
    struct TStep {
        const char* name;
        int weight;
        void (CCommandSequence::*run)();
    };
    // What the data were before a step, to tell whether they went.
    struct TData {
        int state = 0;
        std::string startTime;
        std::string savedPath;
        bool unsaved = false;
        std::string workingFile;
    };
    struct TAnswer {
        std::string text;
        bool yes;
    };

    static const std::vector<TStep>& Steps();
    void SetUpAnswers();
    void WriteDataFiles();
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(m_random); }
    TData Data();
    // After a step: what must hold; the violations are appended to m_violations.
    void CheckStep(const TData& before);
    void CheckWorkingFiles();
    bool Asked(const std::string& text, bool yes) const;
    void Note(const std::string& text) { m_stepText += text; }
    void Click(int id);
    // A menu command, only when the menu offers it.
    void Trigger(int command);
    void Settle();

    // The steps (CommandSequenceSteps.cpp).
    void Start();
    void StartStop();
    void WaitForRecords();
    void SaveData();
    void LoadData();
    void ClearAllData();
    void DeleteBefore();
    void DeleteAfter();
    void PlaceCursor();
    void Setup();
    void ExportAndImportSetup();
    void ToggleDisplayMode();
    void ListsAndPages();
    void TimeDiv();
    void TempDiv();
    void AutoScale();
    void Cursor();
    void CursorButton();
    void ClickGraph();
    void ScrollTime();
    void ScrollTemperature();
    void RowHeader();
    void AdjustOffset();
    void QuitAndStartAgain();

    uint32_t m_seed;
    std::mt19937 m_random;
    CSequenceWorld m_world;
    std::vector<std::string> m_log;  // one line a step
    std::string m_stepText;
    std::vector<std::string> m_violations;
    std::vector<std::string> m_dataFiles;  // files to load
    int m_savedFiles = 0;

    // Answers of the current step.
    std::vector<TAnswer> m_asked;
    std::vector<std::string> m_told;
    std::optional<std::string> m_fileToChoose;
    std::function<int(QDialog&)> m_dialog;
    // The step changed the data in place (saved, deleted a part): they did not go.
    bool m_dataEdited = false;
    // The step quit the window and started it again.
    bool m_quit = false;
    std::string m_restartError;
    std::vector<size_t> m_offerAnswers;  // of the runs offered back, newest first

    // Working files of runs nobody saved or discarded: the run whose data are shown, and those
    // the operator kept when they were offered.
    std::optional<std::string> m_undecided;
    std::set<std::string> m_kept;
    // The automatic save of the run that measures last; empty: none.
    std::string m_runDataFile;
};
