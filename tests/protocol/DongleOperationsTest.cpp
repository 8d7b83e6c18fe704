#include <gtest/gtest.h>

#include "DongleBench.h"
#include "protocol/CommandCode.h"
#include "protocol/DongleOperations.h"
#include "protocol/PollingDataSendCommand.h"
#include "protocol/PollingDataSendResponse.h"

using namespace protocol_test;
using QNL::TDongleCommandSettings;

namespace {

constexpr uint8_t kFwQuery = QNL::Code::kFwVersion, kFwAnswer = QNL::Code::kFwVersionResponse;
constexpr uint8_t kModeSetting = QNL::Code::kModeSetting, kModeAnswer = QNL::Code::kModeSettingResponse;
constexpr uint8_t kPolling = QNL::Code::kPollingSetting, kPollingAnswer = QNL::Code::kPollingSettingResponse;

const TBytes kFwRecord = {0x00, 'R', 'F', '-', 'D', 'O', 'N', 'G', 'L', 'E', 0,
                          0,    0,   0,   0,   0,   0,   '1', '.', '0', '2'};

// The good dongle's answers.
std::map<uint8_t, TBytes> GoodAnswers() {
    return {{kFwQuery, Frame(kFwAnswer, kFwRecord)},
            {kPolling, Frame(kPollingAnswer, {0})},
            {kModeSetting, Frame(kModeAnswer, {0})}};
}

TDongleCommandSettings Settings(uint32_t timeoutMs, uint32_t retries) {
    TDongleCommandSettings settings;
    settings.systemNumber = 0x35;
    settings.commandTimeoutMs = timeoutMs;
    settings.commandRetries = retries;
    return settings;
}

// The 26 setting bytes carried by a polling data send frame (pipe 0, length 26 ahead of them).
TBytes PollingBytes(const TBytes& frame) {
    EXPECT_EQ(frame.size(), 33u);
    EXPECT_EQ(TBytes(frame.begin(), frame.begin() + 5), (TBytes{0x02, 0x1E, kPolling, 0x00, 26}));
    return TBytes(frame.begin() + 5, frame.begin() + 31);
}

TBytes Bytes(const TPollingSetting& setting) {
    return TBytes(setting.bytes.begin(), setting.bytes.end());
}

enum class EDongle { kSilent, kLate, kErrorResult, kWrongCode };

struct TRetryCase {
    uint32_t retries;
    EDongle dongle;
    size_t sends;   // frames that went out
    int result;     // of ExchangeWithRetries; 6 is the length of the answer frame
    size_t strays;  // answers that reached the listener as unclaimed frames
};

void PrintTo(const TRetryCase& c, std::ostream* os) {
    static const char* const kDongles[] = {"silent", "late answer", "error result", "wrong code"};
    *os << "retries " << c.retries << ", " << kDongles[static_cast<int>(c.dongle)];
}

// Tries that must run out wait briefly; an answered first try is given all the time it needs.
int TimeoutMs(const TRetryCase& c) {
    return c.dongle == EDongle::kErrorResult ? 5000 : 300;
}

class RetryRuleTest : public ::testing::TestWithParam<TRetryCase> {
protected:
    CDongleBench bench;
};

// Held by the fixture, which lives on the heap: threads' locks must not share stack addresses
// from one test to the next, or ThreadSanitizer mistakes them for one lock.
class DongleOperationsTest : public ::testing::Test {
protected:
    CDongleBench bench;
};

CDongleBench::TScript Script(EDongle dongle) {
    return [dongle](uint8_t, int attempt) -> std::vector<TBytes> {
        switch (dongle) {
            case EDongle::kSilent:
                return {};
            case EDongle::kLate:
                // The answer to the first try arrives only while the second is under way.
                return attempt == 2 ? std::vector<TBytes>{Frame(kPollingAnswer, {0})} : std::vector<TBytes>{};
            case EDongle::kErrorResult:
                return {Frame(kPollingAnswer, {1})};
            case EDongle::kWrongCode:
                return {Frame(kModeAnswer, {0})};
        }
        return {};
    };
}

}  // namespace

TEST_P(RetryRuleTest, RetriesOnlyCommandsWithoutAnAnswer) {
    const TRetryCase& c = GetParam();
    ASSERT_TRUE(bench.Attach(Script(c.dongle)));
    CPollingDataSendCommand command;
    command.SetPollingSetting(TPollingSetting::Fresh());
    CPollingDataSendResponse response;

    EXPECT_EQ(QNL::ExchangeWithRetries(bench.commander, Settings(TimeoutMs(c), c.retries), response, command),
              c.result);
    EXPECT_EQ(bench.Sent(), std::vector<TBytes>(c.sends, command.BuildFrame()));
    if (c.result > 0) {
        EXPECT_EQ(response.ResultByte(), c.dongle == EDongle::kErrorResult ? 1 : 0);
    }
    if (c.strays > 0) {
        ASSERT_TRUE(bench.listener.WaitForUnclaimed(c.strays));
        // The waiting polling response refused each stray for its command code.
        EXPECT_EQ(bench.listener.Unclaimed().back(), (TUnclaimed{kModeAnswer, {0}, -201}));
    }
    EXPECT_EQ(bench.listener.Unclaimed().size(), c.strays);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RetryRuleTest,
    ::testing::Values(
        TRetryCase{0, EDongle::kSilent, 1, -1, 0}, TRetryCase{1, EDongle::kSilent, 2, -1, 0},
        TRetryCase{2, EDongle::kSilent, 3, -1, 0}, TRetryCase{0, EDongle::kLate, 1, -1, 0},
        TRetryCase{1, EDongle::kLate, 2, 6, 0}, TRetryCase{2, EDongle::kLate, 2, 6, 0},
        TRetryCase{0, EDongle::kErrorResult, 1, 6, 0}, TRetryCase{1, EDongle::kErrorResult, 1, 6, 0},
        TRetryCase{2, EDongle::kErrorResult, 1, 6, 0}, TRetryCase{0, EDongle::kWrongCode, 1, -1, 1},
        TRetryCase{1, EDongle::kWrongCode, 2, -1, 2}, TRetryCase{2, EDongle::kWrongCode, 3, -1, 3}));

TEST_F(DongleOperationsTest, ErrorResultsGiveTheirCodesWithoutARetry) {
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering(
        {{kPolling, Frame(kPollingAnswer, {1})}, {kModeSetting, Frame(kModeAnswer, {2})}})));
    const TDongleCommandSettings settings = Settings(5000, 2);

    EXPECT_EQ(QNL::SendPollingSetting(bench.commander, settings, true), QNL::kPollingSettingFailed);
    EXPECT_EQ(QNL::SendPollingOff(bench.commander, settings), QNL::kPollingSettingFailed);
    EXPECT_EQ(QNL::SendStandbyMode(bench.commander, settings), QNL::kModeSettingFailed);
    EXPECT_EQ(bench.SentCodes(), (TBytes{kPolling, kPolling, kModeSetting}));
    // Standby is mode 0 with the system number.
    EXPECT_EQ(bench.Sent().back(), Frame(kModeSetting, {0x00, 0x35}));
}

TEST_F(DongleOperationsTest, ConnectSequenceWithAGoodDongle) {
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering(GoodAnswers())));
    TDongleCommandSettings settings = Settings(5000, 1);
    settings.pollingSetting.SetRateCode(9);
    settings.pollingSetting.SetUnitCode(1, 3);
    TFwVersionData firmware;

    EXPECT_EQ(QNL::RunConnectSequence(bench.commander, settings, firmware), 0);
    TPollingSetting off = TPollingSetting::Fresh();  // rate 0, unit 1 keeps only its information request
    EXPECT_EQ(bench.Sent(), (std::vector<TBytes>{{0x02, 0x02, 0x2A, 0x2C, 0x03},
                                                 Frame(kPolling,
                                                       [&] {
                                                           TBytes data{0x00, 26};
                                                           TBytes setting = Bytes(off);
                                                           data.insert(data.end(), setting.begin(),
                                                                       setting.end());
                                                           return data;
                                                       }()),
                                                 {0x02, 0x04, 0x0F, 0x02, 0x35, 0x4A, 0x03}}));
    EXPECT_EQ(firmware.result, 0);
    EXPECT_EQ(firmware.ModelText(), "RF-DONGLE");
    EXPECT_EQ(firmware.VersionText(), "1.02");
}

TEST_F(DongleOperationsTest, ConnectSequenceAgainstASilentDongleStopsAtThePollingSetting) {
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering({})));
    TFwVersionData firmware;  // result 1: never answered

    // The defaults: 500 ms and one retry, so this takes about two seconds.
    EXPECT_EQ(QNL::RunConnectSequence(bench.commander, TDongleCommandSettings{}, firmware), -1);
    EXPECT_EQ(bench.SentCodes(), (TBytes{kFwQuery, kFwQuery, kPolling, kPolling}));
    EXPECT_EQ(firmware.result, 1);
}

TEST_F(DongleOperationsTest, ConnectSequenceTakesAFirmwareErrorAsAnAnswer) {
    std::map<uint8_t, TBytes> answers = GoodAnswers();
    answers[kFwQuery] = Frame(kFwAnswer, {0x05});
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering(answers)));
    TFwVersionData firmware;
    std::memcpy(firmware.model, "OLD", 3);

    EXPECT_EQ(QNL::RunConnectSequence(bench.commander, Settings(5000, 1), firmware), 0);
    EXPECT_EQ(bench.SentCodes(), (TBytes{kFwQuery, kPolling, kModeSetting}));
    EXPECT_EQ(firmware.result, 5);
    EXPECT_EQ(firmware.ModelText(), "");
    EXPECT_EQ(firmware.VersionText(), "");
}

TEST_F(DongleOperationsTest, ConnectSequenceFailsOnAModeSettingError) {
    std::map<uint8_t, TBytes> answers = GoodAnswers();
    answers[kModeSetting] = Frame(kModeAnswer, {1});
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering(answers)));
    TFwVersionData firmware;

    EXPECT_EQ(QNL::RunConnectSequence(bench.commander, Settings(5000, 1), firmware), QNL::kModeSettingFailed);
    EXPECT_EQ(bench.SentCodes(), (TBytes{kFwQuery, kPolling, kModeSetting}));
}

TEST_F(DongleOperationsTest, RetriesZeroSendsEveryCommandOnce) {
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering({})));
    const TDongleCommandSettings settings = Settings(100, 0);
    TFwVersionData firmware;

    EXPECT_EQ(QNL::RunConnectSequence(bench.commander, settings, firmware), -1);
    EXPECT_EQ(QNL::SendStandbyMode(bench.commander, settings), -1);
    EXPECT_EQ(bench.SentCodes(), (TBytes{kFwQuery, kPolling, kModeSetting}));
}

// Polling off clears the rate code and every unit's use bit and keeps the information requests;
// polling on hands the setting over unchanged.
TEST_F(DongleOperationsTest, PollingOnAndOffFramesCarryTheSetting) {
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering(GoodAnswers())));
    for (int unit : {1, 4, 5, 100}) {
        for (uint8_t code = 0; code <= 3; ++code) {
            SCOPED_TRACE(testing::Message() << "unit " << unit << ", code " << int(code));
            TDongleCommandSettings settings = Settings(5000, 1);
            settings.pollingSetting.SetRateCode(12);
            settings.pollingSetting.SetUnitCode(unit, code);
            settings.pollingSetting.SetUnitCode(unit == 1 ? 2 : 1, 3);  // a used neighbour
            TPollingSetting expectedOff = TPollingSetting::Fresh();
            expectedOff.SetUnitCode(unit, code & TPollingSetting::kInfoWanted);

            ASSERT_EQ(QNL::SendPollingSetting(bench.commander, settings, false), 0);
            EXPECT_EQ(PollingBytes(bench.Sent().back()), Bytes(expectedOff));
            ASSERT_EQ(QNL::SendPollingOff(bench.commander, settings), 0);
            EXPECT_EQ(bench.Sent().back(), bench.Sent()[bench.Sent().size() - 2]);
            ASSERT_EQ(QNL::SendPollingSetting(bench.commander, settings, true), 0);
            EXPECT_EQ(PollingBytes(bench.Sent().back()), Bytes(settings.pollingSetting));
            EXPECT_EQ(PollingBytes(bench.Sent().back())[0], 12);
        }
    }
}
