// hollowmere-record: records a measurement without the window.
#include <strings.h>

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>

#include "app/controller/InstanceKey.h"
#include "app/record/HeadlessRecorder.h"
#include "app/record/UnsavedRunCommands.h"
#include "files/InifileAccessor.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"
#include "platform/Folders.h"
#include "platform/SingleInstance.h"

namespace {

// The parameter set as the application reads it; a setup file replaces lastone.ini's section "user"
// but never the system number.
bool ReadParameters(const TRecordOptions& options, VEK::TParameterSet& parameters, VEK::TDataFileView& view) {
    VEK::ReadParameterSet(parameters, VEK::LastOneSection("user"), VEK::DefineParameterSection());
    view.scales = VEK::ReadGraphScales(VEK::LastOneSection("user"));
    if (options.setupFile.empty())
        return true;
    VEK::CInifileAccessor setup(options.setupFile);
    // Section names are compared without case, as every settings read does.
    const std::vector<std::string> sections = setup.SectionNames();
    if (std::none_of(sections.begin(), sections.end(),
                     [](const std::string& name) { return strcasecmp(name.c_str(), "user") == 0; }))
        return false;
    const uint32_t systemNumber = parameters.systemNumber;
    VEK::ReadParameterSet(parameters, VEK::AccessorSection(&setup, "user"), VEK::DefineParameterSection());
    view.scales = VEK::ReadGraphScales(VEK::AccessorSection(&setup, "user"));
    parameters.systemNumber = systemNumber;
    return true;
}

int Run(int argc, char** argv) {
    // Without a home folder every file would go to a shared place another user may have prepared.
    if (const std::string problem = VEK::HomeFolderProblem(); !problem.empty()) {
        std::fprintf(stderr, "hollowmere-record: %s\n", problem.c_str());
        return 2;
    }
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("hollowmere-record"));

    TRecordOptions options;
    std::string error;
    if (!options.Parse(std::vector<std::string>(argv + 1, argv + argc), error)) {
        std::fprintf(stderr, "hollowmere-record: %s\n%s", error.c_str(), TRecordOptions::Usage());
        return 2;
    }
    if (options.help) {
        std::fputs(TRecordOptions::Usage(), stdout);
        return 0;
    }

    if (!options.recoverFile.empty())
        return RecoverUnsavedRunCommand(options);

    VEK::CreateSettingsFolders();
    VEK::CSingleInstance instance(kInstanceKey, {kApplicationOwner, kRecorderOwner});
    if (!instance.Acquire(kRecorderOwner)) {
        if (!instance.Problem().empty()) {
            std::fprintf(stderr, "hollowmere-record: %s\n", instance.Problem().c_str());
            return 3;
        }
        const std::string owner = instance.OwnerName();
        std::fprintf(stderr, "hollowmere-record: the dongle is in use by %s; close it first.\n",
                     owner.empty()                ? "another program"
                     : owner == kApplicationOwner ? "the application"
                                                  : owner.c_str());
        return 3;
    }

    // Before this run's own working file exists.
    PrintUnsavedRunsWaiting();

    VEK::TParameterSet parameters;
    VEK::TDataFileView view;
    if (!ReadParameters(options, parameters, view)) {
        std::fprintf(stderr, "hollowmere-record: %s is not a setup file\n", options.setupFile.c_str());
        return 2;
    }
    if (parameters.systemNumber == 0) {
        std::fprintf(stderr,
                     "hollowmere-record: no system number is set; set one in the application first\n");
        return 2;
    }

    CHeadlessRecorder recorder(options, parameters, view);
    recorder.Begin();
    return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    const int result = Run(argc, argv);
    VEK::TraceLogger().Shutdown();
    return result;
}
