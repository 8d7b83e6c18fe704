#pragma once
// Mouse drags for the list controls' tests.
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <functional>

#include "display/DrawingHeaderCtrl.h"

// A left-button drag from one point to another, with one move on the way; beforeRelease runs
// while the button is still down.
inline void DragMouse(QWidget* widget, QPoint from, QPoint to,
                      const std::function<void()>& beforeRelease = {}) {
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), widget->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(widget, &move);
    if (beforeRelease)
        beforeRelease();
    QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
}

// Drags the divider at the right of a header's column by dx pixels.
inline void DragDivider(VEK::MFC::CDrawingHeaderCtrl& header, int column, int dx) {
    const int y = header.height() / 2;
    const int divider = header.sectionViewportPosition(column) + header.sectionSize(column) - 1;
    DragMouse(header.viewport(), QPoint(divider, y), QPoint(divider + dx, y));
}
