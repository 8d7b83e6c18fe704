#include "display/ListColumnWidths.h"

#include <algorithm>

#include "display/MyTemperatureValueListRapper.h"

namespace ListColumnWidths {
namespace {

std::string ListPrefix(int list) {
    return list == 0 ? "row" : "row" + std::to_string(list);
}

int ReadWidth(const VEK::AccessorSection& section, const std::string& key) {
    const int width = section.GetInteger(key, kDefault);
    return width > 0 && width <= kMax ? width : kDefault;
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
    wrapper.SetRowHeaderWidth(ReadWidth(section, RowHeaderKey(list)));
    for (int column = 0; column < SavedColumnCount(wrapper); ++column)
        wrapper.SetColumnWidth(column, ReadWidth(section, ColumnKey(list, column)));
}

bool Write(const CMyTemperatureValueListRapper& wrapper, int list, const VEK::AccessorSection& section) {
    bool written = section.SetInteger(RowHeaderKey(list), wrapper.RowHeaderWidth());
    for (int column = 0; column < SavedColumnCount(wrapper); ++column)
        written = section.SetInteger(ColumnKey(list, column), wrapper.Columns()[column].width) && written;
    return written;
}

}  // namespace ListColumnWidths
