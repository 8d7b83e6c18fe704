#include <QApplication>
#include <cstdio>

#include "app/MainDlg.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"
#include "platform/Folders.h"

int main(int argc, char** argv) {
    // Without a home folder every file would go to a shared place another user may have prepared.
    if (const std::string problem = VEK::HomeFolderProblem(); !problem.empty()) {
        std::fprintf(stderr, "hollowmere: %s\n", problem.c_str());
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Hollowmere"));
    VEK::CreateSettingsFolders();

    int result = 0;
    {
        CMainDlg mainDlg;
        if (mainDlg.InitDialog()) {
            mainDlg.show();
            result = mainDlg.exec();
        }
        mainDlg.OnDestroy();
    }
    VEK::TraceLogger().Shutdown();
    return result;
}
