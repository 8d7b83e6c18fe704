#pragma once
#include <functional>
#include <string>

// What the measurement controller needs answered by its front end (the main window, the headless
// recorder). Every call arrives on the window thread.
class IMeasurementView {
public:
    enum class EIcon { kInformation, kError };

    virtual ~IMeasurementView() = default;

    // A message box (the headless front end logs it). Returns when the operator closed it.
    virtual void ShowMessage(EIcon icon, const std::string& text) = 0;
    // Waits for the dongle to confirm that polling stopped; stopped() becomes true once the stop is
    // complete. True when the wait was given up (the dialog's Cancel).
    virtual bool WaitForStopConfirmation(const std::function<bool()>& stopped) = 0;
};
