#include "app/OnlyWindowChecker.h"

#include <QApplication>
#include <QMetaObject>
#include <QTimer>

#include "support/VekException.h"

COnlyWindowChecker::COnlyWindowChecker() : m_instance(kKey, {kApplicationOwner, kRecorderOwner}) {}

COnlyWindowChecker::~COnlyWindowChecker() = default;

bool COnlyWindowChecker::Check(QWidget* ownWindow, const std::string& ownerName) {
    if (ownWindow == nullptr)
        throw VEK::CInvalidParamException();
    if (m_instance.Acquire(ownerName)) {
        m_window = ownWindow;
        // The listener runs on its own thread; the window is touched on the window thread only.
        m_instance.Listen([this] {
            QMetaObject::invokeMethod(
                qApp, [window = m_window] { BringToFront(window); }, Qt::QueuedConnection);
        });
        return false;
    }
    if (m_instance.Problem().empty())
        m_instance.NotifyOwner(1000);
    return true;
}

void COnlyWindowChecker::BringToFront(QWidget* window) {
    if (window == nullptr || !window->isVisible())
        return;
    window->showNormal();
    window->raise();
    window->activateWindow();
    for (int i = 0; i < 3; ++i) {
        QTimer::singleShot(166 * i, window, [window] { QApplication::alert(window, 166); });
    }
}
