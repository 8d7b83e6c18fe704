#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "counterpart/SimOptions.h"

namespace {

struct TListCase {
    const char* text;
    bool ok;
    std::vector<int> units;
};

TEST(SimOptions, UnitLists) {
    const TListCase cases[] = {
        {"1-3", true, {1, 2, 3}}, {"5", true, {5}},    {"1-3,7,99-100", true, {1, 2, 3, 7, 99, 100}},
        {"0", false, {}},         {"101", false, {}},  {"3-1", false, {}},
        {"", false, {}},          {"1,,2", false, {}}, {"1-", false, {}},
        {"a", false, {}},         {"-1", false, {}},   {"1-101", false, {}},
    };
    for (const TListCase& c : cases) {
        std::vector<int> units;
        EXPECT_EQ(ParseUnitList(c.text, units), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(units, c.units) << c.text;
        }
    }
}

TEST(SimOptions, DefaultsAndValues) {
    TSimOptions defaults;
    std::string error;
    ASSERT_TRUE(ParseSimOptions({}, defaults, error));
    EXPECT_EQ(defaults.host, "localhost");
    EXPECT_EQ(defaults.port, 50000);
    // The units keep to the sampling period unless asked to run fast as the counterpart window's.
    EXPECT_EQ(defaults.engine.periodFactor, 10000u);
    EXPECT_FALSE(defaults.seedGiven);

    TSimOptions options;
    ASSERT_TRUE(ParseSimOptions({"--host",
                                 "127.0.0.1",
                                 "--port",
                                 "4000",
                                 "--units",
                                 "1-3",
                                 "--sensor",
                                 "800",
                                 "--sensor",
                                 "2=-8192",
                                 "--thermo",
                                 "1-2=0x7FFFFF",
                                 "--thermo",
                                 "3=-8388608",
                                 "--jitter",
                                 "5",
                                 "--failure-rate",
                                 "3=100",
                                 "--period-factor",
                                 "1",
                                 "--seed",
                                 "42",
                                 "--auto-info",
                                 "--auto-stop-notice",
                                 "--silent",
                                 "0x2A",
                                 "--mode-error",
                                 "--polling-error",
                                 "--bad-checksum-every",
                                 "3",
                                 "--split",
                                 "7",
                                 "--duplicate-reports",
                                 "--drop-after",
                                 "4",
                                 "--replay",
                                 "a.csv",
                                 "--verbose"},
                                options, error))
        << error;
    EXPECT_EQ(options.engine.periodFactor, 10000u);
    EXPECT_EQ(options.seed, 42u);
    EXPECT_EQ(options.engine.silentCommands, std::set<uint8_t>{0x2A});
    EXPECT_EQ(options.link.splitBytes, 7u);
    EXPECT_EQ(options.link.dropAfterCycles, 4u);
    EXPECT_EQ(options.replayFile, "a.csv");

    COppositeEngine engine;
    ApplySimOptions(options, engine);
    const COppositeUnitTable& table = engine.Units();
    EXPECT_EQ(table.Unit(1), (TOppositeUnit{true, 800, 8388607, 5, 0}));
    EXPECT_EQ(table.Unit(2), (TOppositeUnit{true, -8192, 8388607, 5, 0}));
    EXPECT_EQ(table.Unit(3), (TOppositeUnit{true, 800, -8388608, 5, 100}));
    EXPECT_FALSE(table.Unit(4).use);
    EXPECT_TRUE(engine.Options().autoInformation);
    EXPECT_TRUE(engine.Options().modeError);
}

TEST(SimOptions, RefusesWhatDoesNotFit) {
    const std::vector<std::vector<std::string>> cases = {
        {"--port", "0"},
        {"--port", "65536"},
        {"--sensor", "8192"},
        {"--sensor", "101=1"},
        {"--thermo", "8388608"},
        {"--thermo", "-0x800001"},
        {"--jitter", "10001"},
        {"--failure-rate", "101"},
        {"--period-factor", "0"},
        {"--period-factor", "x"},
        {"--period-factor", "0.00004"},  // above 0, but no step of 1/10000
        {"--silent", "256"},
        {"--split", "0"},
        {"--seed"},
        {"--units", "0-3"},
        {"--nonsense"},
        {"--thermo", "0x"},
        {"--bad-checksum-every", "0"},
    };
    for (const std::vector<std::string>& args : cases) {
        TSimOptions options;
        std::string error;
        EXPECT_FALSE(ParseSimOptions(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

TEST(SimOptions, HelpListsEveryOption) {
    const std::string usage = SimUsage();
    for (const char* name : {"--host",
                             "--port",
                             "--units",
                             "--sensor",
                             "--thermo",
                             "--jitter",
                             "--failure-rate",
                             "--period-factor",
                             "--seed",
                             "--replay",
                             "--auto-info",
                             "--auto-stop-notice",
                             "--verbose",
                             "--mode-error",
                             "--polling-error",
                             "--silent",
                             "--bad-checksum-every",
                             "--split",
                             "--duplicate-reports",
                             "--drop-after"}) {
        EXPECT_NE(usage.find(name), std::string::npos) << name;
    }
}

}  // namespace
