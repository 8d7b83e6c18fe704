#include "app/AppOptions.h"

#include <gtest/gtest.h>

namespace {

// --help and --version are found before Qt has taken its own options off the line, so they must
// win wherever they stand; after that, only --simulate is the program's.
TEST(AppOptionsTest, AcceptsAndRefuses) {
    const struct {
        std::vector<std::string> args;
        bool ok, simulate, help, version;
    } cases[] = {
        {{}, true, false, false, false},
        {{"--simulate"}, true, true, false, false},
        {{"--simulate", "--simulate"}, true, true, false, false},
        {{"-platform", "offscreen", "--help"}, true, false, true, false},
        {{"--bogus", "-h"}, true, false, true, false},
        {{"--version", "--help"}, true, false, false, true},
        {{"--help", "--version"}, true, false, true, false},
        {{"-platform", "offscreen"}, false, false, false, false},
        {{"--simulate", ""}, false, false, false, false},
        {{"--Simulate"}, false, false, false, false},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& arg : c.args) line += " '" + arg + "'";
        SCOPED_TRACE(line);
        TAppOptions options;
        std::string error;
        ASSERT_EQ(options.Parse(c.args, error), c.ok);
        EXPECT_EQ(error.empty(), c.ok);
        if (c.ok) {
            EXPECT_EQ(options.simulate, c.simulate);
            EXPECT_EQ(options.help, c.help);
            EXPECT_EQ(options.version, c.version);
        }
    }
}

}  // namespace
