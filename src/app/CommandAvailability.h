#pragma once
#include "protocol/PollingSetting.h"

// Which of the main window's commands are available.
struct TCommandAvailability {
    // The Start/Stop button: a connected dongle and a channel in use that a measurement at the
    // rate can take (1..20 below one second, 1..100 otherwise).
    bool startStop = false;
    // File, Edit, Setup and Exit, and closing the window; View is always available.
    bool menus = false;
    // "Save Data": finished data only.
    bool saveData = false;
    // "Delete Data Before/After Cursor": the cursor is on.
    bool deletions = false;

    // polling: the parameter set's rate and channels in use.
    static TCommandAvailability For(int runState, bool connected, bool cursorOn,
                                    const TPollingSetting& polling);
};
