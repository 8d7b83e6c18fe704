#pragma once
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Runs a program of the build with the test's HOME and offscreen Qt, and waits for it with a
// time-out.
class CAppProcess {
public:
    // outputPath, when given, receives the program's stdout and stderr.
    CAppProcess(const std::string& program, const std::vector<std::string>& args = {},
                const std::string& outputPath = {});
    ~CAppProcess();

    bool Signal(int signal) const;
    pid_t Pid() const { return m_pid; }
    // The exit status, or -1 when the process did not end in time (it is then killed).
    int Wait(std::chrono::milliseconds timeout);

    static std::string BinaryPath(const std::string& name);

private:
    pid_t m_pid = -1;
};

// Polls until the predicate holds or the time-out passes.
bool WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout);
