#pragma once
#include <cstdint>
#include <vector>

// The columns a channel value list can have, in the order they appear.
enum class EValueColumn { kComment, kTemperature, kType, kBattery, kVersion };

struct TValueColumnKind {
    EValueColumn kind;
    const char* header;
    int initialWidth;
    // Bit of the visible-items mask that selects the column; -1: always present.
    int flagBit;
};

inline constexpr TValueColumnKind kValueColumnKinds[] = {
    {EValueColumn::kComment, "Comment", 30, 0}, {EValueColumn::kTemperature, "Temp.", 100, -1},
    {EValueColumn::kType, "Type", 30, 1},       {EValueColumn::kBattery, "Batt.", 30, 2},
    {EValueColumn::kVersion, "Ver.", 40, 3},
};

const TValueColumnKind& ValueColumnSpec(EValueColumn kind);
// The columns a visible-items mask selects (bit 0 Comment, 1 Type, 2 Battery, 3 Version), in order;
// the temperature is always among them.
std::vector<EValueColumn> ValueColumnsFor(uint8_t visibleItems);
