#pragma once
// Sizes and rectangles of the layout engine, in the window's logical pixels.
#include <climits>

namespace VEK {

struct TLayoutSize {
    int width = 0;
    int height = 0;
    bool operator==(const TLayoutSize&) const = default;
};

struct TLayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    bool operator==(const TLayoutRect&) const = default;
};

// Left, top, right, bottom.
struct TLayoutMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Where a child goes within its cell, one code for x and one for y.
enum ELayoutAlign {
    kAlignStart = 0,  // x: left; y: centre
    kAlignLeftTop = 1,
    kAlignCentre = 2,
    kAlignEnd = 3,  // x: right; y: bottom
    kAlignFill = 4  // resized to the cell; centred when the child refuses the size
};

inline constexpr TLayoutSize kUnlimitedLayoutSize{INT_MAX, INT_MAX};

}  // namespace VEK
