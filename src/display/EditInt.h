#pragma once
#include "display/EditNumber.h"

// A number field for a signed 32-bit value, -2147483647 to 2147483646 by default; a minus sign
// only at the start.
class CEditInt : public CEditNumber {
    Q_OBJECT
public:
    static constexpr int64_t kMinimum = -2147483647;
    static constexpr int64_t kMaximum = 2147483646;

    explicit CEditInt(QWidget* parent = nullptr) : CEditNumber(kMinimum, kMaximum, true, parent) {}

    std::optional<int32_t> Value() const {
        const std::optional<int64_t> number = Number();
        return number ? std::optional<int32_t>(static_cast<int32_t>(*number)) : std::nullopt;
    }
    void SetValue(int32_t value) { SetNumber(value); }
};
