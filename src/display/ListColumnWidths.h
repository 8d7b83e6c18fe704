#pragma once
#include <string>

#include "files/AccessorSection.h"

class CMyTemperatureValueListRapper;

// The widths of the lists' row headers and first three columns in lastone.ini "list-column": list
// 0 (beside the graph) as "row", "row-0" .. "row-2", list n of the lists without the graph as
// "rown", "rown-0" .. "rown-2".
namespace ListColumnWidths {

inline constexpr int kDefault = 50;
// A stored width outside 1..kMax reads as the default.
inline constexpr int kMax = 4000;
// Columns 0 .. kSavedColumns - 1 keep their width; later ones always start at their initial width.
inline constexpr int kSavedColumns = 3;

std::string RowHeaderKey(int list);
std::string ColumnKey(int list, int column);
// Row header first, then the columns the list has.
void Read(CMyTemperatureValueListRapper& wrapper, int list, const VEK::AccessorSection& section);
// The row header and the columns the list has; the keys of columns it lacks stay as they are.
bool Write(const CMyTemperatureValueListRapper& wrapper, int list, const VEK::AccessorSection& section);

}  // namespace ListColumnWidths
