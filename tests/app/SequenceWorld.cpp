#include "SequenceWorld.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <filesystem>

#include "display/TestApplication.h"
#include "support/TestHome.h"

namespace {

std::string DocumentsFolder() {
    return testing_support::TestHome() + "/Documents/Quillmark/Brisquent";
}

}  // namespace

CSequenceWorld::CSequenceWorld(uint32_t simSeed) : m_simSeed(simSeed) {
    EnsureTestApplication();
    testing_support::ResetTestHome();
    std::string lastone = "[user]\r\nsystem-no=5\r\nsample-intvl=100msec\r\n";
    for (int channel = 1; channel <= 100; ++channel)
        lastone += "chpt" + std::to_string(channel) + (channel <= kChannels ? "=ON" : "=OFF") + ",K,\"\"\r\n";
    testing_support::WriteFile(DocumentsFolder() + "/Setup/lastone.ini", lastone);
    testing_support::WriteFile(DocumentsFolder() + "/Setup/define.ini", "[parameter]\r\n");
    std::filesystem::create_directories(WorkFolder());
}

CSequenceWorld::~CSequenceWorld() {
    Stop();
}

bool CSequenceWorld::Open(std::string& error) {
    Stop();
    const std::string units = "1-" + std::to_string(kUnits);
    m_sim = std::make_unique<CSimulatedDongle>(
        std::vector<std::string>{"--units", units, "--sensor", "800", "--jitter", "16", "--seed",
                                 std::to_string(m_simSeed), "--auto-info", "--auto-stop-notice"});
    m_window = std::make_unique<CMainDlg>(&m_prompt);
    m_window->Controller().SetTransport(CSimulatedDongle::Transport());
    if (!m_window->InitDialog()) {
        error = "the window did not start";
        return false;
    }
    if (!m_sim->Start(m_window->Controller().TcpServerPort())) {
        error = "the simulated dongle did not start";
        return false;
    }
    m_window->resize(861, 600);
    m_window->show();
    if (!AwaitConnection()) {
        error = "the dongle did not connect";
        return false;
    }
    if (!Settle()) {
        error = "the first picture did not come";
        return false;
    }
    return true;
}

void CSequenceWorld::Stop() {
    if (m_window != nullptr)
        m_window->OnDestroy();
    m_window.reset();
    if (m_sim != nullptr)
        m_sim->Stop();
    m_sim.reset();
}

void CSequenceWorld::Wait(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool CSequenceWorld::Settle() {
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents();
    while (Graph().RedrawPending()) {
        if (clock.elapsed() > 3000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::processEvents();
    return true;
}

bool CSequenceWorld::AwaitConnection(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!m_window->Controller().IsConnected()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

std::string CSequenceWorld::DataFolder() {
    return DocumentsFolder() + "/Data";
}

std::string CSequenceWorld::WorkFolder() {
    return DocumentsFolder() + "/Data/work";
}

std::vector<std::string> CSequenceWorld::WorkingFiles() {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(WorkFolder(), error))
        if (entry.path().extension() == ".csv")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string CSequenceWorld::TestFile(const std::string& name) {
    return testing_support::TestHome() + "/files/" + name;
}
