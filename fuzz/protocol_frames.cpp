// Feeds arbitrary bytes to ParseFrame of the plain packet and of every dongle packet class, and
// arbitrary value strings to SetParamTexts; a parsed frame also goes through the commander's
// dispatch to the listener. Besides the sanitizers' checks it insists that a parsed frame builds
// back to the same bytes, that edited packets build frames that parse, and that a unit report
// handed on lies inside one data-received event and has the kind it was handed on as.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/BasicPacket.h"
#include "protocol/CommandCode.h"
#include "protocol/PacketCatalog.h"
#include "protocol/PacketTa/DataReceivedEventData.h"
#include "protocol/RfPacketCommander.h"

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

void CheckParsed(const QNL::CBasicPacket& packet, int result, const uint8_t* data, size_t size) {
    Require(result <= static_cast<int>(size));
    if (result <= 0)
        return;
    const std::vector<uint8_t> frame = packet.BuildFrame();
    Require(frame.size() == static_cast<size_t>(result));
    Require(std::equal(frame.begin(), frame.end(), data));
    packet.DescribeLines();
    packet.ParamTexts();
}

// A fresh packet of the same class edited with the values must build a frame that parses again.
// Returns that frame, or nothing when the class takes no values.
std::vector<uint8_t> CheckEdited(const protocol_test::TPacketMaker& make,
                                 const std::vector<std::string>& texts) {
    auto edited = make();
    if (!edited->SetParamTexts(texts))
        return {};
    const std::vector<uint8_t> frame = edited->BuildFrame();
    auto reparsed = make();
    Require(reparsed->ParseFrame(frame.data(), frame.size()) == static_cast<int>(frame.size()));
    Require(reparsed->ParamTexts() == edited->ParamTexts());
    edited->DescribeLines();
    return frame;
}

class CCheckingListener : public QNL::CRfPacketCommander::IListener {
public:
    void HandleMeasurementReport(std::span<const uint8_t> report) override {
        Check(report, QNL::Code::kMeasurementReport);
    }
    void HandleInformationReport(std::span<const uint8_t> report) override {
        Check(report, QNL::Code::kInformationReport);
    }

private:
    static void Check(std::span<const uint8_t> report, uint8_t kind) {
        Require(!report.empty() && report.size() <= QNL::PacketTa::TDataReceivedEventData::kMaxData);
        Require(report[0] == kind);
    }
};

std::vector<std::string> SplitLines(const uint8_t* data, size_t size) {
    std::vector<std::string> texts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            texts.emplace_back();
        else
            texts.back() += static_cast<char>(data[i]);
    }
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QNL::CBasicPacket plain;
    const int parsed = plain.ParseFrame(data, size);
    CheckParsed(plain, parsed, data, size);
    if (parsed > 0) {
        CCheckingListener listener;
        QNL::CRfPacketCommander::Dispatch(plain, 0, listener);
    }

    const std::vector<std::string> texts = SplitLines(data, size);
    for (const auto& [code, make] : protocol_test::AllPacketMakers()) {
        auto packet = make();
        const int result = packet->ParseFrame(data, size);
        CheckParsed(*packet, result, data, size);
        if (result > 0) {
            Require(code == data[2]);
            // Its value strings say all there is to say about it.
            const std::vector<uint8_t> edited = CheckEdited(make, packet->ParamTexts());
            Require(edited.empty() || std::equal(edited.begin(), edited.end(), data));
        }
        CheckEdited(make, texts);
    }
    return 0;
}
