#pragma once
#include <functional>

#include "counterpartwin/OppositeDlg.h"
#include "counterpartwin/OppositeServer.h"

// hollowmere-simwin: the counterpart window on its own, with its settings ("oppo") and placement
// ("opposite-dlg") as in the application. Runs until Hide or Close end the window, stores the
// settings and the placement, and returns the exit status. shown, when given, is called once the
// window shows (the program hooks its quit signals there, tests drive the window).
int RunSimWindow(const TOppositeServer& server, IOperatorPrompt* prompt = nullptr,
                 const std::function<void(COppositeDlg&)>& shown = {});
