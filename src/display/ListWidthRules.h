#pragma once
#include <array>

#include "display/ValueListColumn.h"

// The widths a channel value list gives its row header and columns, in pixels of the list's cell
// font: where each starts without a stored width, and the least width that shows the header and
// every value of the column whole (a number or state text is never cut). Stored widths are
// pixels of the list font that a Windows installation wrote; they are scaled by the two fonts'
// average character widths, so that a column shows what it showed there.
struct TListWidthRules {
    // The average character width of the cell font a Windows installation measured its widths
    // in (the bold 1.4-times dialog font, about 9 pixels at 96 DPI).
    static constexpr int kStoredCharWidth = 9;
    // A column grows to show a wider text, up to this width; beyond it the text shows "#" marks.
    static constexpr int kGrowLimit = 400;

    // Per column kind, in the order of EValueColumn. Without a font: the template's widths, the
    // stored default of 50 for the first columns.
    std::array<int, 5> defaultWidth{50, 50, 50, 30, 40};
    std::array<int, 5> minimumWidth{0, 0, 0, 0, 0};
    int rowHeaderDefault = 50;
    int rowHeaderMinimum = 0;
    // The cell font's average character width; equal to kStoredCharWidth leaves stored widths as
    // they are.
    int averageCharWidth = kStoredCharWidth;

    int DefaultWidth(EValueColumn kind) const { return defaultWidth[static_cast<int>(kind)]; }
    int MinimumWidth(EValueColumn kind) const { return minimumWidth[static_cast<int>(kind)]; }
    int FromStored(int stored) const {
        return (stored * averageCharWidth + kStoredCharWidth / 2) / kStoredCharWidth;
    }
    int ToStored(int width) const {
        return (width * kStoredCharWidth + averageCharWidth / 2) / averageCharWidth;
    }
};
