// hollowmere-record: records a measurement without the window.
#include <QCoreApplication>
#include <cstdio>
#include <optional>

#include "controller/InstanceKey.h"
#include "files/InifileAccessor.h"
#include "files/OffsetFile.h"
#include "files/Settings.h"
#include "files/SetupFile.h"
#include "files/TraceLogger.h"
#include "platform/Folders.h"
#include "platform/SingleInstance.h"
#include "publish/MqttConnection.h"
#include "recorder/HeadlessRecorder.h"
#include "recorder/UnsavedRunCommands.h"

namespace {

// The parameter set as the application reads it; a setup file replaces lastone.ini's section "user"
// but never the system number.
bool ReadParameters(const TRecordOptions& options, VEK::TParameterSet& parameters, VEK::TDataFileView& view) {
    VEK::ReadParameterSet(parameters, VEK::LastOneSection("user"), VEK::DefineParameterSection());
    view.scales = VEK::ReadGraphScales(VEK::LastOneSection("user"));
    return options.setupFile.empty() ||
           VEK::ReadSetupFile(options.setupFile, VEK::DefineParameterSection(), parameters, view.scales);
}

// The broker from define.ini and the command line, checked, with the password read; nothing when
// no URL is set. False with the message for the operator.
bool ResolveMqtt(const TRecordOptions& options, std::optional<TMqttConnection>& connection,
                 std::string& error) {
    const TMqttSettings settings = options.Mqtt(TMqttSettings::Read(VEK::DefineParameterSection()));
    if (!settings.Enabled())
        return true;
    TMqttConnection resolved;
    if (!TMqttConnection::Resolve(settings, resolved, error))
        return false;
    connection = resolved;
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
    VEK::TOffsetTable offsets;
    if (!options.offsetsFile.empty() && !VEK::LoadOffsetFile(offsets, options.offsetsFile)) {
        std::fprintf(stderr, "hollowmere-record: %s is not an offset data file that can be read\n",
                     options.offsetsFile.c_str());
        return 2;
    }
    std::optional<TMqttConnection> mqtt;
    if (!ResolveMqtt(options, mqtt, error)) {
        std::fprintf(stderr, "hollowmere-record: %s\n", error.c_str());
        return 2;
    }

    CHeadlessRecorder recorder(options, parameters, view, mqtt);
    recorder.UseOffsets(offsets);
    recorder.Begin();
    return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    const int result = Run(argc, argv);
    VEK::TraceLogger().Shutdown();
    return result;
}
