#include <gtest/gtest.h>

#include "dialogs/SetupDlgModel.h"

namespace {

using TCell = CSetupDlgModel::TCell;
using EClick = CSetupDlgModel::EClick;
constexpr int kUse = CSetupDlgModel::kUseColumn;
constexpr int kType = CSetupDlgModel::kTypeColumn;
constexpr int kComment = CSetupDlgModel::kCommentColumn;
constexpr int kAll = CSetupDlgModel::kAllRow;

// Channels 1 to 10 in use, type K, as settings without a section "user" give.
VEK::TParameterSet DefaultSet() {
    VEK::TParameterSet set;
    set.polling.SetRateCode(4);
    for (int channel = 1; channel <= 100; ++channel) {
        set.polling.SetInUse(channel, channel <= 10);
        set.thermocoupleType[channel] = 1;
    }
    set.systemNumber = 7;
    return set;
}

int InUse(const CSetupDlgModel& model) {
    int count = 0;
    for (int channel = 1; channel <= 100; ++channel) count += model.Parameters().polling.InUse(channel);
    return count;
}

TEST(SetupDlgModel, OpeningSelectsRateAndSystemNumber) {
    const std::vector<int> offered{1, 2, 3, 4, 5, 6, 7, 10, 12, 13};
    struct {
        int rate;
        uint32_t systemNumber;
        std::vector<int> codes;
        int rateIndex;
        int systemIndex;
    } cases[] = {
        {1, 7, offered, 0, 6},
        {4, 0, offered, 3, -1},
        // A rate the settings accept but the list does not offer stays, in its place among the codes.
        {8, 65, {1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 13}, 7, -1},
        {11, 64, {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13}, 8, 63},
        {13, 1, offered, 9, 0},
        {0, 7, offered, 0, 6},  // no rate: the first item
    };
    for (const auto& c : cases) {
        VEK::TParameterSet set = DefaultSet();
        set.polling.SetRateCode(static_cast<uint8_t>(c.rate));
        set.systemNumber = c.systemNumber;
        const CSetupDlgModel model(set);
        EXPECT_EQ(model.RateCodes(), c.codes) << c.rate;
        EXPECT_EQ(model.RateIndex(), c.rateIndex) << c.rate;
        EXPECT_EQ(model.SystemNumberIndex(), c.systemIndex) << c.systemNumber;
    }
}

TEST(SetupDlgModel, CellsOfChannelsAndOfTheAllRow) {
    VEK::TParameterSet set = DefaultSet();
    set.comment[2] = "oven";
    set.thermocoupleType[3] = 2;
    CSetupDlgModel model(set);
    EXPECT_EQ(model.Cell(1, kUse), (TCell{"ON", 0x000000, 0x00FFFF}));
    EXPECT_EQ(model.Cell(11, kUse), (TCell{"OFF", 0xFFFFFF, 0x000000}));
    EXPECT_EQ(model.Cell(kAll, kUse).text, "\u2015");
    EXPECT_EQ(model.Cell(kAll, kType).text, "\u2015");
    EXPECT_EQ(model.Cell(3, kType).text, "T");
    EXPECT_TRUE(model.Cell(3, kType).dropDown);
    EXPECT_EQ(model.Cell(2, kComment), (TCell{" oven", 0x000000, 0xFFFFFF, true}));
    EXPECT_EQ(model.Cell(kAll, kComment).text, "");
    EXPECT_EQ(CSetupDlgModel::RowTitle(kAll), "ALL");
    EXPECT_EQ(CSetupDlgModel::RowTitle(100), "100");
}

TEST(SetupDlgModel, ClicksOnTheAllRowAndOnChannels) {
    CSetupDlgModel model(DefaultSet());
    EXPECT_EQ(model.AllUseState(), -1);
    EXPECT_EQ(model.Click(kAll, kUse), EClick::kNothing);  // mixed: all cleared
    EXPECT_EQ(InUse(model), 0);
    EXPECT_EQ(model.Cell(kAll, kUse).text, "OFF");
    model.Click(kAll, kUse);  // none: all set
    EXPECT_EQ(InUse(model), 100);
    EXPECT_EQ(model.Cell(kAll, kUse).text, "ON");
    model.Click(kAll, kUse);  // all: all cleared
    EXPECT_EQ(InUse(model), 0);

    model.Click(5, kUse);
    EXPECT_TRUE(model.Parameters().polling.InUse(5));
    model.Click(5, kUse);
    EXPECT_FALSE(model.Parameters().polling.InUse(5));

    EXPECT_EQ(model.Click(kAll, kType), EClick::kTypeMenu);
    model.ChooseType(2);
    for (int channel = 1; channel <= 100; ++channel)
        EXPECT_EQ(model.Parameters().thermocoupleType[channel], 2);
    EXPECT_EQ(model.Cell(kAll, kType).text, "T");
    EXPECT_EQ(model.Click(9, kType), EClick::kTypeMenu);
    model.ChooseType(3);
    EXPECT_EQ(model.Parameters().thermocoupleType[9], 3);
    EXPECT_EQ(model.Parameters().thermocoupleType[8], 2);
    EXPECT_EQ(model.Cell(kAll, kType).text, "\u2015");

    EXPECT_EQ(model.Click(kAll, kComment), EClick::kNothing);
    EXPECT_EQ(model.Click(4, kComment), EClick::kComment);
    model.SetComment(4, "pipe");
    EXPECT_EQ(model.Parameters().comment[4], "pipe");
    // Unchanged by the clicks: the polling setting's information bits.
    for (int channel = 1; channel <= 100; ++channel)
        EXPECT_TRUE(model.Parameters().polling.InfoWanted(channel) ==
                    DefaultSet().polling.InfoWanted(channel));
}

TEST(SetupDlgModel, OkTakesTheChoicesOrRefusesTheSystemNumber) {
    VEK::TParameterSet set = DefaultSet();
    set.polling.SetRateCode(8);
    set.temperatureUnit = 5;
    CSetupDlgModel model(set);
    CSetupDlgModel::TChoices choices = model.InitialChoices();
    EXPECT_TRUE(choices.fahrenheit);  // any unit but 0 shows "deg F"
    EXPECT_EQ(choices.rateCode, 8);
    EXPECT_EQ(choices.visibleItemsSingle, 2);
    EXPECT_EQ(choices.visibleItemsOnly, 3);

    model.Click(1, kUse);
    for (int refused : {-1, 0, 65}) {
        choices.systemNumber = refused;
        EXPECT_FALSE(model.Accept(choices)) << refused;
        EXPECT_EQ(model.Parameters().systemNumber, 7u);
        EXPECT_FALSE(model.Parameters().polling.InUse(1));  // the click is kept for another try
    }
    choices.systemNumber = 64;
    choices.visibleItemsSingle = CSetupDlgModel::kType;
    choices.visibleItemsOnly = CSetupDlgModel::kComment | CSetupDlgModel::kType;
    ASSERT_TRUE(model.Accept(choices));
    EXPECT_EQ(model.Parameters().systemNumber, 64u);
    EXPECT_EQ(model.Parameters().polling.RateCode(), 8);  // an unoffered rate survives OK
    EXPECT_EQ(model.Parameters().visibleItemsSingle, 2);
    EXPECT_EQ(model.Parameters().visibleItemsOnly, 3);
    EXPECT_EQ(model.Parameters().temperatureUnit, 1u);
}

}  // namespace
