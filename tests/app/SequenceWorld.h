#pragma once
// The main window on one documents folder against the simulated dongle in the same process, as
// hollowmere --simulate runs it, with every box and dialog answered by the test's script. The
// window can quit and start again on the same folder.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/MainDlg.h"
#include "app/SimulatedDongle.h"
#include "dialogs/ScriptedOperatorPrompt.h"

class CSequenceWorld {
public:
    // The units the simulated dongle plays; the settings put channels 1 to kChannels in use.
    static constexpr int kUnits = 3;
    static constexpr int kChannels = 4;

    // A fresh documents folder with its settings; simSeed seeds the units' jitter.
    explicit CSequenceWorld(uint32_t simSeed);
    ~CSequenceWorld();

    // The window started on the folder and connected; false with the reason otherwise. The runs
    // it offers back are answered by the prompt's onChoose.
    bool Open(std::string& error);
    // The window goes (after it quit), as the process ends.
    void Close() { Stop(); }
    bool IsOpen() const { return m_window != nullptr; }

    CMainDlg& Window() { return *m_window; }
    CScriptedOperatorPrompt& Prompt() { return m_prompt; }
    CSimulatedDongle& Sim() { return *m_sim; }
    CMeasurementDataManager& Store() { return m_window->Controller().Store(); }
    CGraph& Graph() { return m_window->Graph().Graph(); }

    // Events for this long.
    static void Wait(int ms);
    // Events until the graph's picture shows its view and records (and the lists their record);
    // false when it did not within a few seconds.
    bool Settle();
    // Events until the dongle is connected again; false after the time-out.
    bool AwaitConnection(int timeoutMs = 10000);

    // The folders below the documents folder.
    static std::string DataFolder();
    static std::string WorkFolder();
    // The working files in the work folder, sorted.
    static std::vector<std::string> WorkingFiles();
    // A path for a file the test writes, below the test's home.
    static std::string TestFile(const std::string& name);

private:
    void Stop();

    uint32_t m_simSeed;
    CScriptedOperatorPrompt m_prompt;
    std::unique_ptr<CSimulatedDongle> m_sim;
    std::unique_ptr<CMainDlg> m_window;
};
