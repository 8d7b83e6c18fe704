#include "link/HidReportLayout.h"

#include <algorithm>
#include <map>
#include <vector>

namespace VEK {
namespace {

// Item prefixes with the size bits cleared.
constexpr uint8_t kMainInput = 0x80;
constexpr uint8_t kMainOutput = 0x90;
constexpr uint8_t kGlobalReportSize = 0x74;
constexpr uint8_t kGlobalReportId = 0x84;
constexpr uint8_t kGlobalReportCount = 0x94;
constexpr uint8_t kGlobalPush = 0xA4;
constexpr uint8_t kGlobalPop = 0xB4;
constexpr uint8_t kLongItem = 0xFE;

struct TGlobals {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
};

struct TBits {
    uint64_t input = 0;
    uint64_t output = 0;
};

uint32_t ItemValue(const uint8_t* data, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(data[i]) << (8 * i);
    return value;
}

uint16_t LengthOf(uint64_t bits) {
    if (bits == 0)
        return THidReportLayout::kFallbackLength;
    uint64_t bytes = (bits + 7) / 8 + 1;
    return static_cast<uint16_t>(std::min<uint64_t>(bytes, 0xFFFF));
}

}  // namespace

THidReportLayout ParseHidReportDescriptor(const uint8_t* bytes, size_t size) {
    TGlobals globals;
    std::vector<TGlobals> stack;
    std::map<uint32_t, TBits> reports;
    bool numbered = false;
    size_t pos = 0;
    while (pos < size) {
        uint8_t prefix = bytes[pos];
        if (prefix == kLongItem) {
            if (pos + 1 >= size)
                break;
            pos += 3 + bytes[pos + 1];
            continue;
        }
        size_t dataSize = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        if (pos + 1 + dataSize > size)
            break;
        uint32_t value = ItemValue(bytes + pos + 1, dataSize);
        pos += 1 + dataSize;
        uint64_t fieldBits = static_cast<uint64_t>(globals.reportSize) * globals.reportCount;
        switch (prefix & 0xFC) {
            case kMainInput:
                reports[globals.reportId].input += fieldBits;
                break;
            case kMainOutput:
                reports[globals.reportId].output += fieldBits;
                break;
            case kGlobalReportSize:
                globals.reportSize = value;
                break;
            case kGlobalReportCount:
                globals.reportCount = value;
                break;
            case kGlobalReportId:
                globals.reportId = value;
                numbered = true;
                break;
            case kGlobalPush:
                stack.push_back(globals);
                break;
            case kGlobalPop:
                if (!stack.empty()) {
                    globals = stack.back();
                    stack.pop_back();
                }
                break;
            default:
                break;
        }
    }
    uint64_t inputBits = 0;
    uint64_t outputBits = 0;
    uint8_t outputId = 0;
    for (const auto& [id, bits] : reports) {
        inputBits = std::max(inputBits, bits.input);
        if (bits.output > outputBits) {
            outputBits = bits.output;
            outputId = static_cast<uint8_t>(id);
        }
    }
    return {LengthOf(inputBits), LengthOf(outputBits), numbered, outputId};
}

}  // namespace VEK
