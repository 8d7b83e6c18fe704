#include "app/InformationLine.h"

#include <algorithm>
#include <cstdio>

#include "data/MeasurementDataManager.h"
#include "files/CodeTables.h"

namespace {

std::string FileText(const TInformationLine& line) {
    if (line.runState == CMeasurementDataManager::kStateEmpty)
        return "no data";
    if (line.runState == CMeasurementDataManager::kStateMeasuring || line.savedPath.empty())
        return "not saved";
    const size_t slash = line.savedPath.find_last_of('/');
    std::string name = slash == std::string::npos ? line.savedPath : line.savedPath.substr(slash + 1);
    return line.modified ? name + "*" : name;
}

}  // namespace

std::string TInformationLine::Text() const {
    std::string start;
    if (runState != CMeasurementDataManager::kStateEmpty)
        start = " Start Time: " + startTime.Format("%Y-%m-%d %H:%M:%S") + "   /";
    const std::string system = systemNumber == 0 ? "--" : std::to_string(systemNumber);
    const std::string rate = VEK::SamplingRateName(static_cast<int>(rateCode));
    std::string text =
        start + " File: " + FileText(*this) + "   / Sampling Rate: " + rate + " / System No.: " + system;
    if (!publishing.empty())
        text += "   / " + publishing;
    size_t from = 0;
    while (from < fileProblem.size()) {
        const size_t end = std::min(fileProblem.find('\n', from), fileProblem.size());
        text += "   / " + fileProblem.substr(from, end - from);
        from = end + 1;
    }
    return text;
}
