#pragma once
#include <QPointer>
#include <QWidget>

#include "display/PartsDrawable.h"

class QStyle;
class QStyleOption;

namespace VEK::MFC {

// The standard pieces as the widget's style draws them (the application's style without a
// widget), so that the custom-drawn controls look like the plain ones around them.
class CStandardPartsDrawer : public IPartsDrawable {
public:
    explicit CStandardPartsDrawer(const QWidget* widget = nullptr) : m_widget(widget) {}

    void DrawEdge(QPainter& painter, const QRect& rect, EEdge edge) const override;
    void DrawFrameControl(QPainter& painter, const QRect& rect, EFrame frame, unsigned state) const override;
    void DrawFocusRect(QPainter& painter, const QRect& rect) const override;
    int EdgeSize() const override;

private:
    QStyle* Style() const;
    void Prepare(QStyleOption& option, const QRect& rect, unsigned state) const;

    QPointer<const QWidget> m_widget;
};

}  // namespace VEK::MFC
