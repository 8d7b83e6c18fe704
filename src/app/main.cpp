#include <QApplication>

#include "app/MainDlg.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"

int main(int argc, char** argv) {
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
