#include "display/ListColumnWidths.h"

#include <algorithm>
#include <optional>

#include "display/MyTemperatureValueListRapper.h"

namespace ListColumnWidths {
namespace {

std::string ListPrefix(int list) {
    return list == 0 ? "row" : "row" + std::to_string(list);
}

// A width stored there, scaled to the list's font; nothing for a missing or unusable one.
std::optional<int> ReadWidth(const VEK::AccessorSection& section, const std::string& key,
                             const TListWidthRules& rules) {
    const int width = section.GetInteger(key, 0);
    if (width <= 0 || width > kMax)
        return std::nullopt;
    return rules.FromStored(width);
}

int SavedColumnCount(const CMyTemperatureValueListRapper& wrapper) {
    return std::min<int>(kSavedColumns, static_cast<int>(wrapper.Columns().size()));
}

}  // namespace

std::string RowHeaderKey(int list) {
    return ListPrefix(list);
}

std::string ColumnKey(int list, int column) {
    return ListPrefix(list) + "-" + std::to_string(column);
}

void Read(CMyTemperatureValueListRapper& wrapper, int list, const VEK::AccessorSection& section) {
    const TListWidthRules& rules = wrapper.WidthRules();
    if (const std::optional<int> width = ReadWidth(section, RowHeaderKey(list), rules))
        wrapper.SetRowHeaderWidth(*width);
    for (int column = 0; column < SavedColumnCount(wrapper); ++column)
        if (const std::optional<int> width = ReadWidth(section, ColumnKey(list, column), rules))
            wrapper.SetColumnWidth(column, *width);
}

bool Write(const CMyTemperatureValueListRapper& wrapper, int list, const VEK::AccessorSection& section) {
    const TListWidthRules& rules = wrapper.WidthRules();
    bool written = section.SetInteger(RowHeaderKey(list), rules.ToStored(wrapper.RowHeaderWidth()));
    for (int column = 0; column < SavedColumnCount(wrapper); ++column)
        written =
            section.SetInteger(ColumnKey(list, column), rules.ToStored(wrapper.Columns()[column].width)) &&
            written;
    return written;
}

}  // namespace ListColumnWidths
