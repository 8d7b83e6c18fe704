#pragma once
// Control items over widgets.
#include <QSize>
#include <QWidget>

#include "display/layout/ControlLayoutItem.h"

namespace VEK::MFC {

// The item of a widget whose least size is natural: taken now and kept, so that later fills do
// not raise it. Sizes beyond the widget's maximum are refused.
CControlLayoutItem WidgetLayoutItem(QWidget* widget, QSize natural);
// At its size hint (never below its minimum size).
CControlLayoutItem WidgetLayoutItem(QWidget* widget);

}  // namespace VEK::MFC
