// hollowmere-record: records a measurement without the window.
#include <QCoreApplication>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "controller/InstanceKey.h"
#include "display/GraphScaleNames.h"
#include "files/DeviceSettings.h"
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
// but never the system number. The temperature scale is named in the data's unit, as the window
// writes it ("10deg C").
bool ReadParameters(const TRecordOptions& options, VEK::TParameterSet& parameters, VEK::TDataFileView& view) {
    VEK::ReadParameterSet(parameters, VEK::LastOneSection("user"), VEK::DefineParameterSection());
    view.scales = VEK::ReadGraphScales(VEK::LastOneSection("user"));
    if (!options.setupFile.empty() &&
        !VEK::ReadSetupFile(options.setupFile, VEK::DefineParameterSection(), parameters, view.scales))
        return false;
    const int32_t tempDiv = TempDivIndex(view.scales.tempDiv);
    view.scales.tempDiv = TempDivName(tempDiv != 0 ? tempDiv : kDefaultTempDiv, parameters.temperatureUnit);
    return true;
}

// What the settings lack for a run, one line each for the operator; none when nothing does.
std::vector<std::string> SettingsProblems(const VEK::TParameterSet& parameters) {
    std::vector<std::string> problems;
    const VEK::TDeviceSettings device = VEK::TDeviceSettings::Read(VEK::DefineParameterSection());
    const std::string define = VEK::SetupFolder() + "/define.ini";
    // The default vendor id 0x0000 matches no device: the recorder would wait for ever.
    if (!device.UsesTcp() && device.VendorId() == 0)
        problems.push_back("no dongle vendor id is set: set \"hid-vid\" in section [parameter] of " + define +
                           " to your dongle's USB vendor id (for example hid-vid=0x1234)");
    if (device.UsesTcp() && device.TcpPort() == 0)
        problems.push_back("no development TCP port is set: set \"hid-pid\" in section [parameter] of " +
                           define + " to the port number");
    if (parameters.systemNumber == 0)
        problems.push_back("no system number is set; set one in the application first");
    return problems;
}

// The broker from define.ini and the command line, checked, with the password read; nothing when
// no URL is set. False with the message for the operator.
bool ResolveMqtt(const TRecordOptions& options, std::optional<TMqttConnection>& connection,
                 std::string& error) {
    const TMqttSettings settings = options.Mqtt(TMqttSettings::Read(VEK::DefineParameterSection()));
    if (!settings.Enabled()) {
        // A prefix for nothing: the operator meant to publish somewhere.
        if (options.mqttPrefix) {
            error = "--mqtt-prefix needs a broker: give --mqtt URL or set \"mqtt-url\" in define.ini";
            return false;
        }
        return true;
    }
    TMqttConnection resolved;
    if (!TMqttConnection::Resolve(settings, resolved, error))
        return false;
    connection = resolved;
    return true;
}

// The run's settings, checked; 0, or the exit status 2 once the reasons are printed.
int ReadRunSettings(const TRecordOptions& options, VEK::TParameterSet& parameters, VEK::TDataFileView& view) {
    std::string error;
    if (!options.CheckAgainst(VEK::CSystemTime::Now(), error)) {
        std::fprintf(stderr, "hollowmere-record: %s\n", error.c_str());
        return 2;
    }
    VEK::CreateSettingsFolders();
    if (!ReadParameters(options, parameters, view)) {
        std::fprintf(stderr, "hollowmere-record: %s is not a setup file\n", options.setupFile.c_str());
        return 2;
    }
    const std::vector<std::string> problems = SettingsProblems(parameters);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "hollowmere-record: %s\n", problem.c_str());
    return problems.empty() ? 0 : 2;
}

// The dongle for this process alone; 0, or the exit status 3 once the owner is named.
int OwnTheDongle(VEK::CSingleInstance& instance) {
    if (instance.Acquire(kRecorderOwner))
        return 0;
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
    VEK::TParameterSet parameters;
    VEK::TDataFileView view;
    if (const int status = ReadRunSettings(options, parameters, view); status != 0)
        return status;
    VEK::CSingleInstance instance(kInstanceKey, {kApplicationOwner, kRecorderOwner});
    if (const int status = OwnTheDongle(instance); status != 0)
        return status;

    // Before this run's own working file exists.
    PrintUnsavedRunsWaiting();

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
