#pragma once
#include <memory>

#include "display/layout/LayoutGeometry.h"

namespace VEK {

// A node of a window's arrangement: it reports the least size it needs and places itself and
// its children in the size it is given.
class ILayout {
public:
    virtual ~ILayout() = default;
    virtual std::unique_ptr<ILayout> Clone() const = 0;
    // The size assigned last, or the minimum size while none was.
    virtual TLayoutSize CurrentSize() const = 0;
    virtual TLayoutSize MinimumSize() const = 0;
    // False when the node cannot take that size (and keeps its own).
    virtual bool SetSize(int width, int height) = 0;
    // Top-left corner at (x, y); a coordinate of -1 leaves that coordinate as it was.
    virtual void Place(int x, int y) = 0;
};

}  // namespace VEK
