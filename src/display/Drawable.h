#pragma once
#include <QSize>
#include <QString>
#include <memory>

class QPainter;

namespace VEK {

// A small copyable object that knows its size and paints itself at a position. Controls keep
// clones of the drawers they are given, so callers keep their own.
class IDrawable {
public:
    virtual ~IDrawable() = default;
    virtual std::shared_ptr<IDrawable> Clone() const = 0;
    virtual QSize Size() const = 0;
    // False when the drawer cannot take that size.
    virtual bool SetSize(int width, int height) = 0;
    // Paints within width x height from (x, y).
    virtual void Draw(QPainter& painter, int x, int y) const = 0;
    // The parameter is what the control knows of the item (a list row's selected state); most
    // drawers ignore it.
    virtual void DrawWithParameter(QPainter& painter, int x, int y, int parameter) const {
        (void)parameter;
        Draw(painter, x, y);
    }
    // What the drawer shows in words, for assistive technology; empty for a picture without a
    // name.
    virtual QString AccessibleText() const { return {}; }
};

// The reference-counted handle by which controls hold drawers.
using CDrawerHandle = std::shared_ptr<IDrawable>;

}  // namespace VEK
