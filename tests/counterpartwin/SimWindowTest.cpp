// hollowmere-simwin's window loop and options.
#include <gtest/gtest.h>

#include <QAbstractButton>

#include "controller/LoopbackTestHelpers.h"
#include "counterpartwin/SimWinOptions.h"
#include "counterpartwin/SimWindow.h"
#include "dialogs/ScriptedOperatorPrompt.h"
#include "display/TestApplication.h"
#include "files/Settings.h"
#include "link/SocketServer.h"
#include "support/TestHome.h"

namespace {

TEST(SimWindowTest, ConnectsToAListeningApplicationAndEndsOnHideWithItsSettingsWritten) {
    EnsureTestApplication();
    testing_support::ResetTestHome();
    VEK::CreateSettingsFolders();
    VEK::CSocketServer application;
    application.SetPort(0);
    ASSERT_TRUE(application.Start());
    CScriptedOperatorPrompt prompt;
    bool linked = false;
    const int result = RunSimWindow(TOppositeServer{"127.0.0.1", application.BoundPort()}, &prompt,
                                    [&](COppositeDlg& window) {
                                        window.findChild<QAbstractButton*>("1036")->click();
                                        linked = Pump([&] { return application.IsLinked(); }, 5000);
                                        window.findChild<QAbstractButton*>("2")->click();
                                    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(linked);
    // The client is gone with the window.
    EXPECT_TRUE(Pump([&] { return !application.IsLinked(); }, 5000));
    const std::string lastone = testing_support::ReadFile(testing_support::TestHome() +
                                                          "/Documents/Quillmark/Brisquent/Setup/lastone.ini");
    EXPECT_NE(lastone.find("[oppo]\r\npriod=1000\r\nstruct=01000000"), std::string::npos) << lastone;
    EXPECT_NE(lastone.find("[opposite-dlg]"), std::string::npos) << lastone;
    application.Stop();
}

TEST(SimWinOptionsTest, PortAndHostFromDefineIniOrTheCommandLine) {
    VEK::TDeviceSettings tcp;
    tcp.vendorText = "tcp";
    tcp.productText = "50123";
    VEK::TDeviceSettings usb;
    struct TCase {
        const char* name;
        VEK::TDeviceSettings device;
        std::vector<std::string> args;
        bool ok;
        std::string host;
        uint16_t port;
    };
    const TCase cases[] = {
        {"define.ini tcp", tcp, {}, true, "127.0.0.1", 50123},
        {"usb dongle", usb, {}, true, "127.0.0.1", 50000},
        {"both given", usb, {"--host", "10.0.0.2", "--port", "4000"}, true, "10.0.0.2", 4000},
        {"port 0", tcp, {"--port", "0"}, false, "", 0},
        {"port text", tcp, {"--port", "12x"}, false, "", 0},
        {"no value", tcp, {"--host"}, false, "", 0},
        {"unknown", tcp, {"--simulate"}, false, "", 0},
    };
    for (const TCase& c : cases) {
        TSimWinOptions options;
        std::string error;
        ASSERT_EQ(TSimWinOptions::Parse(c.args, c.device, options, error), c.ok) << c.name;
        if (!c.ok) {
            EXPECT_FALSE(error.empty()) << c.name;
            continue;
        }
        EXPECT_EQ(options.server.host, c.host) << c.name;
        EXPECT_EQ(options.server.port, c.port) << c.name;
    }
}

}  // namespace
