#include "files/InifileAccessor.h"

#include <unistd.h>

#include <climits>

#include "files/TraceLogger.h"

namespace VEK {
namespace {

// Without a path: the program file's path with its extension replaced by ".ini".
std::string DefaultPath() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string exe = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string("hollowmere");
    size_t slash = exe.find_last_of('/');
    size_t dot = exe.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        exe.erase(dot);
    return exe + ".ini";
}

}  // namespace

CInifileAccessor::CInifileAccessor(std::string path, CIniProfile::TReader reader)
    : m_profile(path.empty() ? DefaultPath() : std::move(path), std::move(reader)) {}
CInifileAccessor::CInifileAccessor(std::string path, TFileRead snapshot)
    : m_profile(std::move(path), std::move(snapshot)) {}

template <class T>
T CInifileAccessor::Reported(T result) const {
    const std::string problem = m_profile.Problem();
    std::unique_lock<std::mutex> lock(m_reportLock);
    if (problem == m_reported)
        return result;
    m_reported = problem;
    lock.unlock();
    if (!problem.empty())
        TraceLogger().Entry(kLogError, "設定ファイル[" + Path() + "]を読み込めません: " + problem);
    return result;
}

std::vector<std::string> CInifileAccessor::SectionNames() const {
    return Reported(m_profile.SectionNames());
}

bool CInifileAccessor::DeleteSection(const std::string& section) {
    return Reported(m_profile.DeleteSections(section));
}

std::vector<std::string> CInifileAccessor::KeyNames(const std::string& section) const {
    return Reported(m_profile.KeyNames(section));
}

char CInifileAccessor::KindOf(const std::string& section, const std::string& key) const {
    return Read(section, key).Kind();
}

AccessorValue CInifileAccessor::Read(const std::string& section, const std::string& key) const {
    std::optional<std::string> text = Reported(m_profile.ReadValue(section, key));
    return text ? AccessorValue::String(std::move(*text)) : AccessorValue::None();
}

bool CInifileAccessor::Write(const std::string& section, const std::string& key, const AccessorValue& value) {
    if (value.IsNone())
        return Reported(m_profile.DeleteKey(section, key));
    return Reported(m_profile.WriteValue(section, key, value.TextForm()));
}

}  // namespace VEK
