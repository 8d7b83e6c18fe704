#include "dialogs/SetupDlgModel.h"

#include <algorithm>

#include "data/SamplingRate.h"
#include "files/CodeTables.h"

namespace {

constexpr int kOfferedRates[] = {1, 2, 3, 4, 5, 6, 7, 10, 12, 13};
// Shown in the ALL row when the channels differ.
constexpr const char* kMixed = "\u2015";

}  // namespace

CSetupDlgModel::CSetupDlgModel(const VEK::TParameterSet& set) : m_set(set) {
    m_rateCodes.assign(std::begin(kOfferedRates), std::end(kOfferedRates));
    const int current = m_set.polling.RateCode();
    const TSamplingRate* rate = FindSamplingRate(static_cast<uint32_t>(current));
    // A rate the settings may give but the list does not offer would otherwise turn into
    // "100msec" on OK, and a measurement at it takes only channels 1 to 20.
    if (rate != nullptr && rate->settable &&
        std::find(m_rateCodes.begin(), m_rateCodes.end(), current) == m_rateCodes.end()) {
        m_rateCodes.insert(std::upper_bound(m_rateCodes.begin(), m_rateCodes.end(), current), current);
    }
}

int CSetupDlgModel::RateIndex() const {
    const auto found = std::find(m_rateCodes.begin(), m_rateCodes.end(), m_set.polling.RateCode());
    return found == m_rateCodes.end() ? 0 : static_cast<int>(found - m_rateCodes.begin());
}

int CSetupDlgModel::SystemNumberIndex() const {
    return m_set.systemNumber >= 1 && m_set.systemNumber <= kMaxSystemNumber
               ? static_cast<int>(m_set.systemNumber) - 1
               : -1;
}

CSetupDlgModel::TChoices CSetupDlgModel::InitialChoices() const {
    TChoices choices;
    choices.systemNumber = SystemNumberIndex() < 0 ? -1 : static_cast<int>(m_set.systemNumber);
    choices.rateCode = m_rateCodes[static_cast<size_t>(RateIndex())];
    choices.visibleItemsSingle = m_set.visibleItemsSingle;
    choices.visibleItemsOnly = m_set.visibleItemsOnly;
    choices.fahrenheit = m_set.temperatureUnit != kTemperatureUnitCelsius;
    return choices;
}

int CSetupDlgModel::AllUseState() const {
    int inUse = 0;
    for (int channel = 1; channel <= VEK::kChannelCount; ++channel)
        inUse += m_set.polling.InUse(channel) ? 1 : 0;
    return inUse == VEK::kChannelCount ? 1 : inUse == 0 ? 0 : -1;
}

std::string CSetupDlgModel::RowTitle(int row) {
    return row == kAllRow ? "ALL" : std::to_string(row);
}

CSetupDlgModel::TCell CSetupDlgModel::Cell(int row, int column) const {
    const TCell on{"ON", kBlack, kCyan};
    const TCell off{"OFF", kWhite, kBlack};
    switch (column) {
        case kUseColumn:
            if (row != kAllRow)
                return m_set.polling.InUse(row) ? on : off;
            return AllUseState() == 1 ? on : AllUseState() == 0 ? off : TCell{kMixed};
        case kTypeColumn: {
            int32_t type = m_set.thermocoupleType[row == kAllRow ? 1 : static_cast<size_t>(row)];
            if (row == kAllRow) {
                const auto first = m_set.thermocoupleType.begin() + 1;
                if (!std::all_of(first, m_set.thermocoupleType.end(),
                                 [type](int32_t t) { return t == type; }))
                    return TCell{kMixed, kBlack, kButtonFace, false, true};
            }
            return TCell{VEK::ThermocoupleTypeName(type), kBlack, kButtonFace, false, true};
        }
        case kCommentColumn:
            if (row == kAllRow)
                return TCell{};
            return TCell{" " + m_set.comment[static_cast<size_t>(row)], kBlack, kWhite, true};
        default:
            return TCell{};
    }
}

CSetupDlgModel::EClick CSetupDlgModel::Click(int row, int column) {
    if (row < kAllRow || row >= kRows)
        return EClick::kNothing;
    switch (column) {
        case kUseColumn:
            if (row != kAllRow) {
                m_set.polling.SetInUse(row, !m_set.polling.InUse(row));
            } else {
                const bool set = AllUseState() == 0;
                for (int channel = 1; channel <= VEK::kChannelCount; ++channel)
                    m_set.polling.SetInUse(channel, set);
            }
            return EClick::kNothing;
        case kTypeColumn:
            m_typeMenuRow = row;
            return EClick::kTypeMenu;
        case kCommentColumn:
            return row == kAllRow ? EClick::kNothing : EClick::kComment;
        default:
            return EClick::kNothing;
    }
}

void CSetupDlgModel::ChooseType(int32_t type) {
    if (m_typeMenuRow != kAllRow) {
        m_set.thermocoupleType[static_cast<size_t>(m_typeMenuRow)] = type;
        return;
    }
    std::fill(m_set.thermocoupleType.begin() + 1, m_set.thermocoupleType.end(), type);
}

void CSetupDlgModel::SetComment(int channel, const std::string& comment) {
    if (channel >= 1 && channel <= VEK::kChannelCount)
        m_set.comment[static_cast<size_t>(channel)] = comment;
}

bool CSetupDlgModel::Accept(const TChoices& choices) {
    if (choices.systemNumber < 1 || choices.systemNumber > kMaxSystemNumber)
        return false;
    m_set.systemNumber = static_cast<uint32_t>(choices.systemNumber);
    m_set.polling.SetRateCode(static_cast<uint8_t>(choices.rateCode));
    m_set.visibleItemsSingle = choices.visibleItemsSingle;
    m_set.visibleItemsOnly = choices.visibleItemsOnly;
    m_set.temperatureUnit = choices.fahrenheit ? 1 : kTemperatureUnitCelsius;
    return true;
}
