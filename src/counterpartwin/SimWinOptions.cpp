#include "counterpartwin/SimWinOptions.h"

#include "support/NumberText.h"

std::string TSimWinOptions::Usage() {
    return "Usage: hollowmere-simwin [--host HOST] [--port PORT]\n"
           "The counterpart window on its own: plays the dongle and its units on the application's\n"
           "development TCP port (define.ini \"hid-vid\" = \"tcp\") once you press 接続.\n"
           "\n"
           "  --host HOST   application host (default: define.ini \"tcp-address\" when it names one\n"
           "                address, else 127.0.0.1)\n"
           "  --port PORT   development port (default: define.ini \"hid-pid\" in TCP mode, else 50000)\n";
}

bool TSimWinOptions::Parse(const std::vector<std::string>& args, const VEK::TDeviceSettings& device,
                           TSimWinOptions& options, std::string& error) {
    options = TSimWinOptions{TOppositeServer::For(device)};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            continue;
        }
        if (option != "--host" && option != "--port") {
            error = "unknown option " + option;
            return false;
        }
        if (i + 1 == args.size() || args[i + 1].empty()) {
            error = option + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        if (option == "--host") {
            options.server.host = value;
            continue;
        }
        const std::optional<int64_t> port = VEK::ParseWholeDecimal(value);
        if (!port || *port < 1 || *port > 65535) {
            error = "--port takes 1 to 65535, not " + value;
            return false;
        }
        options.server.port = static_cast<uint16_t>(*port);
    }
    return true;
}
