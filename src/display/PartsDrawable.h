#pragma once
#include <QRect>

class QPainter;

namespace VEK::MFC {

// The platform's standard pieces of a control: 3-D edges, button faces and check and radio frames,
// focus rectangles.
class IPartsDrawable {
public:
    enum EEdge { kEdgeRaised, kEdgeSunken };
    enum EFrame { kFramePush, kFrameCheck, kFrameRadio };
    // State flags of a frame control; they combine.
    enum EState : unsigned {
        kNormal = 0,
        kHot = 0x01,
        kPushed = 0x02,
        kInactive = 0x04,
        kFlat = 0x08,
        kChecked = 0x10,
    };
    // Check and radio frames are this size, centred in the rectangle given.
    static constexpr int kCheckSize = 13;

    virtual ~IPartsDrawable() = default;
    virtual void DrawEdge(QPainter& painter, const QRect& rect, EEdge edge) const = 0;
    virtual void DrawFrameControl(QPainter& painter, const QRect& rect, EFrame frame,
                                  unsigned state) const = 0;
    virtual void DrawFocusRect(QPainter& painter, const QRect& rect) const = 0;
    // The width of one 3-D edge.
    virtual int EdgeSize() const = 0;
};

}  // namespace VEK::MFC
