#pragma once

// Starts and stops a short measurement without the start dialog and without a working file (the
// offset adjustment dialog uses it).
class IShortMeasurementExecutable {
public:
    virtual ~IShortMeasurementExecutable() = default;
    virtual void Execute(bool start) = 0;
};
