#pragma once
#include "display/EditNumber.h"

// A number field for an unsigned 32-bit value, 0 to 4294967295 by default; no minus sign.
class CEditDword : public CEditNumber {
    Q_OBJECT
public:
    static constexpr int64_t kMinimum = 0;
    static constexpr int64_t kMaximum = 4294967295;

    explicit CEditDword(QWidget* parent = nullptr) : CEditNumber(kMinimum, kMaximum, false, parent) {}

    std::optional<uint32_t> Value() const {
        const std::optional<int64_t> number = Number();
        return number ? std::optional<uint32_t>(static_cast<uint32_t>(*number)) : std::nullopt;
    }
    void SetValue(uint32_t value) { SetNumber(value); }
};
