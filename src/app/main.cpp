#include <QApplication>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/AppVersion.h"
#include "app/MainDlg.h"
#include "app/SimulatedDongle.h"
#include "app/icon/AppIcon.h"
#include "display/DialogFont.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"
#include "platform/Folders.h"

namespace {

constexpr const char* kUsage =
    "Usage: hollowmere [--simulate]\n"
    "Shows and records the temperatures of the wireless thermocouple units that report to the USB\n"
    "dongle, saves them as CSV data files and loads such files.\n"
    "  --simulate   play the dongle and its units inside the application (no hardware, no settings change)\n"
    "  --help       this text\n"
    "  --version    the program's version\n";

// --help and --version are answered before any window system is needed.
bool AnswersInformation(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("hollowmere %s\n", HOLLOWMERE_FILE_VERSION);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AnswersInformation(argc, argv))
        return 0;
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
    bool simulate = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--simulate") == 0) {
            simulate = true;
        } else {
            std::fprintf(stderr, "hollowmere: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        }
    }
    VEK::CreateSettingsFolders();

    int result = 0;
    {
        // Outlives the window: the stop handshake at the quit still talks to it.
        std::unique_ptr<CSimulatedDongle> simulator;
        if (simulate)
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
