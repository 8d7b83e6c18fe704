#include "recorder/SaveWait.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "files/Settings.h"

namespace {

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Duration(std::chrono::seconds wait) {
    const auto s = wait.count();
    return s % 60 == 0 && s > 0 ? std::to_string(s / 60) + " min" : std::to_string(s) + " s";
}

}  // namespace

CSaveWait::CSaveWait(CMeasurementController& controller, std::string outFile, std::chrono::seconds wait,
                     std::chrono::seconds retry, TDone done, QObject* parent)
    : QObject(parent),
      m_controller(controller),
      m_outFile(std::move(outFile)),
      m_wait(wait),
      m_done(std::move(done)) {
    m_retry.setInterval(static_cast<int>(std::chrono::milliseconds(retry).count()));
    connect(&m_retry, &QTimer::timeout, this, &CSaveWait::Retry);
}

std::vector<std::string> CSaveWait::FallbackFolders() {
    std::vector<std::string> folders;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && IsFolder(runtime))
        folders.emplace_back(runtime);
    folders.push_back(VEK::WorkFolder());
    return folders;
}

void CSaveWait::Begin(const std::string& problem) {
    m_problem = problem;
    m_waiting = true;
    const uint32_t records = m_controller.Store().RecordCount();
    if (m_wait.count() == 0) {
        SaveElsewhere();
        return;
    }
    m_deadline = std::chrono::steady_clock::now() + m_wait;
    std::fprintf(stderr,
                 "hollowmere-record: the %u records stay in memory; saving them to %s is tried again every "
                 "%d s for %s (SIGINT or SIGTERM: one more try, then %s)\n",
                 records, m_outFile.c_str(), m_retry.interval() / 1000, Duration(m_wait).c_str(),
                 FallbackFolders().front().c_str());
    m_retry.start();
}

void CSaveWait::LastTry() {
    if (!m_waiting)
        return;
    m_retry.stop();
    if (!TrySave())
        SaveElsewhere();
}

void CSaveWait::Retry() {
    if (TrySave())
        return;
    if (std::chrono::steady_clock::now() >= m_deadline) {
        m_retry.stop();
        std::fprintf(stderr, "hollowmere-record: %s could not be saved within %s\n", m_outFile.c_str(),
                     Duration(m_wait).c_str());
        SaveElsewhere();
    }
}

bool CSaveWait::TrySave() {
    std::string problem;
    if (m_controller.SaveData(m_outFile, problem)) {
        std::fprintf(stderr, "hollowmere-record: saved the %u records to %s\n",
                     m_controller.Store().RecordCount(), m_outFile.c_str());
        Finish({true, m_outFile});
        return true;
    }
    // Said once for each new reason: a try every few seconds would bury everything else.
    if (m_outFile + ": " + problem != m_problem)
        std::fprintf(stderr, "hollowmere-record: %s still cannot be saved: %s\n", m_outFile.c_str(),
                     problem.c_str());
    m_problem = m_outFile + ": " + problem;
    return false;
}

void CSaveWait::SaveElsewhere() {
    const uint32_t records = m_controller.Store().RecordCount();
    const std::string name =
        m_controller.Store().StartTime().Format("%Y%m%d%H%M%S") + "-" + BaseName(m_outFile);
    for (const std::string& folder : FallbackFolders()) {
        const std::string path = folder + "/" + name;
        std::string problem;
        if (m_controller.WriteDataCopy(path, problem)) {
            std::fprintf(stderr, "hollowmere-record: saved the %u records to %s instead of %s\n", records,
                         path.c_str(), m_outFile.c_str());
            Finish({false, path});
            return;
        }
        std::fprintf(stderr, "hollowmere-record: %s cannot be saved either: %s\n", path.c_str(),
                     problem.c_str());
    }
    // What is left is the working file, as far as it could be written.
    const std::string& working = m_controller.WorkingFilePath();
    if (!working.empty())
        std::fprintf(
            stderr, "hollowmere-record: only the working file %s keeps the run%s\n", working.c_str(),
            m_controller.WorkingFileProblem().empty() ? ", every record of it" : ", without its newest rows");
    Finish({false, working});
}

void CSaveWait::Finish(const TResult& result) {
    m_waiting = false;
    m_retry.stop();
    m_done(result);
}
