#include "counterpartwin/SimWindow.h"

#include <QEventLoop>

#include "display/WindowPlacement.h"
#include "files/Settings.h"

int RunSimWindow(const TOppositeServer& server, IOperatorPrompt* prompt,
                 const std::function<void(COppositeDlg&)>& shown) {
    COppositeDlg window(server, prompt);
    window.Open();
    RestoreWindowPlacement(window, VEK::LastOneSection("opposite-dlg"), false);
    QEventLoop loop;
    // Hide, Close and Escape all reject the window.
    QObject::connect(&window, &QDialog::finished, &loop, &QEventLoop::quit);
    window.show();
    if (shown)
        shown(window);
    if (window.isVisible())
        loop.exec();
    window.Session().Stop();
    SaveWindowPlacement(window, VEK::LastOneSection("opposite-dlg"));
    window.Close();
    return 0;
}
