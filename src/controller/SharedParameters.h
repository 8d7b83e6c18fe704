#pragma once
#include <mutex>

#include "data/MeasurementSetup.h"
#include "files/ParameterSet.h"
#include "protocol/DongleCommandSettings.h"

// The parameter set as the controller's threads share it: the receive thread changes the polling
// setting's information bits, so every use of the polling setting goes through its lock. All else
// is the window thread's.
class CSharedParameters {
public:
    // Borrowed; outlives this.
    explicit CSharedParameters(VEK::TParameterSet& parameters) : m_parameters(parameters) {}

    // Any thread.
    TPollingSetting PollingSetting() const;
    void SetInfoWanted(int unit, bool wanted);
    // Every unit's information report is asked for with the next polling setting.
    void SetAllInformationWanted();

    // Window thread: the set from the setup dialog or a setup file, under the lock the receive
    // thread changes information bits under. The dongle's firmware information stays.
    void Replace(const VEK::TParameterSet& set);

    // What the dongle operations send: system number, polling setting, time-out and retries.
    QNL::TDongleCommandSettings CommandSettings() const;
    // What the record store takes at a reset or a start.
    TMeasurementSetup MeasurementSetup() const;
    // The dongle's answer to the last connect sequence.
    TFwVersionData& Firmware() { return m_parameters.firmware; }

private:
    VEK::TParameterSet& m_parameters;
    mutable std::mutex m_pollingLock;
};
