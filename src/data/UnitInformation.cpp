#include "data/UnitInformation.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "data/UnitReportLayout.h"
#include "support/NumberText.h"
#include "support/TextCodec.h"

namespace {

std::string AsciiField(const uint8_t* field, size_t size) {
    const size_t length = static_cast<size_t>(std::find(field, field + size, 0) - field);
    return VEK::Cp932ToUtf8(std::string_view(reinterpret_cast<const char*>(field), length));
}

}  // namespace

bool TUnitInformation::IsPresent() const {
    return bytes[0] == UnitReport::kInformationKind;
}

std::string TUnitInformation::Version() const {
    return AsciiField(&bytes[UnitReport::kVersionOffset], UnitReport::kVersionSize);
}

std::string TUnitInformation::SerialNumber() const {
    return AsciiField(&bytes[UnitReport::kSerialOffset], UnitReport::kSerialSize);
}

int32_t TUnitInformation::Ofs1() const {
    return UnitReport::ReadPacked14(&bytes[UnitReport::kOfs1Offset]);
}

int32_t TUnitInformation::Ofs2() const {
    return UnitReport::ReadSigned24(&bytes[UnitReport::kOfs2Offset]);
}

double TUnitInformation::Gain() const {
    const uint8_t* p = &bytes[UnitReport::kGainOffset];
    const uint32_t raw = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
    if (raw == 0)
        return 1.0;
    float gain;
    static_assert(sizeof gain == sizeof raw);
    std::memcpy(&gain, &raw, sizeof gain);
    return gain;
}

bool DecodeUnitInformation(const uint8_t* data, size_t size, TUnitInformation& information) {
    if (data == nullptr || size < UnitReport::kInformationSize || data[0] != UnitReport::kInformationKind ||
        !UnitReport::IsUnitNumber(data[UnitReport::kUnitOffset])) {
        return false;
    }
    std::copy_n(data, UnitReport::kInformationSize, information.bytes.begin());
    return true;
}

std::string FormatUnitInfo(const TUnitInformation& information) {
    char text[96];
    std::snprintf(text, sizeof text, "CH=%d, BAT=%d, OFS1=%d, OFS2=%d, GAIN=", information.Unit(),
                  information.Battery(), static_cast<int>(information.Ofs1()),
                  static_cast<int>(information.Ofs2()));
    // The gain goes through FormatFixed: printf's decimal point follows the process locale.
    return text + VEK::FormatFixed(information.Gain(), 2) + ", Ver=[" + information.Version() + "], SN=[" +
           information.SerialNumber() + "]";
}
