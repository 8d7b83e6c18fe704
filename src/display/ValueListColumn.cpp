#include "display/ValueListColumn.h"

const TValueColumnKind& ValueColumnSpec(EValueColumn kind) {
    return kValueColumnKinds[static_cast<int>(kind)];
}

std::vector<EValueColumn> ValueColumnsFor(uint8_t visibleItems) {
    std::vector<EValueColumn> columns;
    for (const TValueColumnKind& column : kValueColumnKinds) {
        if (column.flagBit < 0 || (visibleItems >> column.flagBit & 1) != 0)
            columns.push_back(column.kind);
    }
    return columns;
}
