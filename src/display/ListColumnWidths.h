#pragma once
#include <string>

#include "files/AccessorSection.h"

class CMyTemperatureValueListRapper;

// The widths of the lists' row headers and first three columns in lastone.ini "list-column": list
// 0 (beside the graph) as "row", "row-0" .. "row-2", list n of the lists without the graph as
// "rown", "rown-0" .. "rown-2". The file holds widths in the pixels of a Windows installation's
// list font; the lists' width rules scale them.
namespace ListColumnWidths {

// A stored width outside 1..kMax reads as none (the rules' default).
inline constexpr int kMax = 4000;
// Columns 0 .. kSavedColumns - 1 keep their width; later ones always start at their initial width.
inline constexpr int kSavedColumns = 3;

std::string RowHeaderKey(int list);
std::string ColumnKey(int list, int column);
// Row header first, then the columns the list has; a key that is missing or unusable leaves the
// default the list's columns were set up with.
void Read(CMyTemperatureValueListRapper& wrapper, int list, const VEK::AccessorSection& section);
// The row header and the columns the list has; the keys of columns it lacks stay as they are.
bool Write(const CMyTemperatureValueListRapper& wrapper, int list, const VEK::AccessorSection& section);

}  // namespace ListColumnWidths
