#include <QApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/AppOptions.h"
#include "app/AppVersion.h"
#include "app/MainDlg.h"
#include "app/SimulatedDongle.h"
#include "app/icon/AppIcon.h"
#include "display/DialogFont.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"
#include "platform/Folders.h"

int main(int argc, char** argv) {
    // --help and --version are answered before any window system is needed; Qt's own options may
    // still be on the line then.
    TAppOptions information;
    std::string error;
    information.Parse(std::vector<std::string>(argv + 1, argv + argc), error);
    if (information.help) {
        std::fputs(TAppOptions::Usage(), stdout);
        return 0;
    }
    if (information.version) {
        std::printf("hollowmere %s\n", HOLLOWMERE_FILE_VERSION);
        return 0;
    }
    // Without a home folder every file would go to a shared place another user may have prepared.
    if (const std::string problem = VEK::HomeFolderProblem(); !problem.empty()) {
        std::fprintf(stderr, "hollowmere: %s\n", problem.c_str());
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Hollowmere"));
    QApplication::setWindowIcon(AppIcon());
    UseDialogFontEverywhere();
    // Lets the desktop match the windows with the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("hollowmere"));
    TAppOptions options;
    if (!options.Parse(std::vector<std::string>(argv + 1, argv + argc), error)) {
        std::fprintf(stderr, "hollowmere: %s\n%s", error.c_str(), TAppOptions::Usage());
        return 2;
    }
    VEK::CreateSettingsFolders();

    int result = 0;
    {
        // Outlives the window: the stop handshake at the quit still talks to it.
        std::unique_ptr<CSimulatedDongle> simulator;
        if (options.simulate)
            simulator = std::make_unique<CSimulatedDongle>();
        CMainDlg mainDlg;
        if (simulator) {
            mainDlg.Controller().SetTransport(CSimulatedDongle::Transport());
            mainDlg.SetSimulatedSession(&simulator->Session());
        }
        if (mainDlg.InitDialog()) {
            if (simulator && !simulator->Start(mainDlg.Controller().TcpServerPort()))
                std::fprintf(stderr, "hollowmere: the simulated dongle could not start\n");
            // Run modally, yet modal to nothing: exec() alone would block every other window, the
            // counterpart window among them.
            mainDlg.setWindowModality(Qt::WindowModal);
            mainDlg.show();
            result = mainDlg.exec();
        }
        mainDlg.OnDestroy();
    }
    VEK::TraceLogger().Shutdown();
    return result;
}
