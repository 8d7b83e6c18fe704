#include "controller/SharedParameters.h"

TPollingSetting CSharedParameters::PollingSetting() const {
    std::lock_guard lock(m_pollingLock);
    return m_parameters.polling;
}

void CSharedParameters::SetInfoWanted(int unit, bool wanted) {
    std::lock_guard lock(m_pollingLock);
    m_parameters.polling.SetInfoWanted(unit, wanted);
}

void CSharedParameters::SetAllInformationWanted() {
    std::lock_guard lock(m_pollingLock);
    for (int unit = 1; unit <= TPollingSetting::kUnits; ++unit)
        m_parameters.polling.SetInfoWanted(unit, true);
}

void CSharedParameters::Replace(const VEK::TParameterSet& set) {
    std::lock_guard lock(m_pollingLock);
    const TFwVersionData firmware = m_parameters.firmware;
    m_parameters = set;
    m_parameters.firmware = firmware;
}

QNL::TDongleCommandSettings CSharedParameters::CommandSettings() const {
    QNL::TDongleCommandSettings settings;
    settings.systemNumber = static_cast<uint8_t>(m_parameters.systemNumber);
    settings.pollingSetting = PollingSetting();
    settings.commandTimeoutMs = m_parameters.commandTimeoutMs;
    settings.commandRetries = m_parameters.commandRetries;
    return settings;
}

TMeasurementSetup CSharedParameters::MeasurementSetup() const {
    TMeasurementSetup setup;
    setup.systemNumber = m_parameters.systemNumber;
    setup.pollingSetting = PollingSetting();
    setup.thermocoupleType = m_parameters.thermocoupleType;
    setup.comment = m_parameters.comment;
    setup.temperatureUnit = m_parameters.temperatureUnit;
    return setup;
}
