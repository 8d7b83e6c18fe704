#pragma once
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "controller/InstanceKey.h"
#include "platform/SingleInstance.h"

// One application window per user session. The first instance keeps the key for its whole life
// and comes to the front when a later start asks it to.
class COnlyWindowChecker {
public:
    static constexpr const char* kKey = kInstanceKey;

    COnlyWindowChecker();
    ~COnlyWindowChecker();

    // True when another instance runs (it has been asked to come to the front) or the lock cannot
    // be taken safely (Problem says why); false when this is the first instance, whose window is
    // then raised on later starts.
    bool Check(QWidget* ownWindow, const std::string& ownerName = kApplicationOwner);
    const std::string& Problem() const { return m_instance.Problem(); }
    // The program that holds the key ("hollowmere" or "hollowmere-record"); empty when unknown.
    std::string OwnerName() const { return m_instance.OwnerName(); }

    // Shows a window normally, raises and activates it and flashes it three times.
    static void BringToFront(QWidget* window);

private:
    VEK::CSingleInstance m_instance;
    QPointer<QWidget> m_window;
};
