#include "display/ValueListColumn.h"

const TValueColumnSpec& ValueColumnSpec(EValueColumn kind) {
    return kValueColumnSpecs[static_cast<int>(kind)];
}

std::vector<EValueColumn> ValueColumnsFor(uint8_t visibleItems) {
    std::vector<EValueColumn> columns;
    for (const TValueColumnSpec& spec : kValueColumnSpecs) {
        if (spec.flagBit < 0 || (visibleItems >> spec.flagBit & 1) != 0)
            columns.push_back(spec.kind);
    }
    return columns;
}
