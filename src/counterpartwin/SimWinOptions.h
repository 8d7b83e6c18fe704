#pragma once
#include <string>
#include <vector>

#include "counterpartwin/OppositeServer.h"

// The options of hollowmere-simwin: [--host H] [--port P].
struct TSimWinOptions {
    TOppositeServer server;
    bool help = false;

    static std::string Usage();
    // The arguments after the program's name over the defaults of define.ini; false with a message
    // for an unknown option or a bad value.
    static bool Parse(const std::vector<std::string>& args, const VEK::TDeviceSettings& device,
                      TSimWinOptions& options, std::string& error);
};
