#include "display/WidgetLayoutItem.h"

#include <QPointer>

namespace VEK::MFC {

namespace {

class CWidgetLayoutControl : public ILayoutControl {
public:
    explicit CWidgetLayoutControl(QWidget* widget) : m_widget(widget) {}
    void SetGeometry(const TLayoutRect& rect) override {
        if (m_widget != nullptr)
            m_widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
    }

private:
    QPointer<QWidget> m_widget;
};

}  // namespace

CControlLayoutItem WidgetLayoutItem(QWidget* widget, QSize natural) {
    const QSize maximum = widget->maximumSize();
    return CControlLayoutItem(std::make_shared<CWidgetLayoutControl>(widget),
                              {natural.width(), natural.height()}, {maximum.width(), maximum.height()});
}

CControlLayoutItem WidgetLayoutItem(QWidget* widget) {
    return WidgetLayoutItem(widget, widget->sizeHint().expandedTo(widget->minimumSize()));
}

}  // namespace VEK::MFC
