// hollowmere-simwin: the counterpart window on its own, as the application's peer on its
// development TCP port.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "controller/QuitSignalNotifier.h"
#include "counterpartwin/SimWinOptions.h"
#include "counterpartwin/SimWindow.h"
#include "display/DialogFont.h"
#include "files/Settings.h"
#include "platform/Folders.h"

int main(int argc, char** argv) {
    if (const std::string problem = VEK::HomeFolderProblem(); !problem.empty()) {
        std::fprintf(stderr, "hollowmere-simwin: %s\n", problem.c_str());
        return 2;
    }
    VEK::CreateSettingsFolders();
    TSimWinOptions options;
    std::string error;
    const VEK::TDeviceSettings device = VEK::TDeviceSettings::Read(VEK::DefineParameterSection());
    if (!TSimWinOptions::Parse(std::vector<std::string>(argv + 1, argv + argc), device, options, error)) {
        std::fprintf(stderr, "hollowmere-simwin: %s\n%s", error.c_str(), TSimWinOptions::Usage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(TSimWinOptions::Usage().c_str(), stdout);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("hollowmere-simwin"));
    UseDialogFontEverywhere();
    // A logout or Ctrl+C ends it like Hide, settings stored.
    CQuitSignalNotifier quitSignals;
    return RunSimWindow(options.server, nullptr, [&](COppositeDlg& window) {
        QObject::connect(&quitSignals, &CQuitSignalNotifier::quitRequested, &window, &QDialog::reject);
    });
}
