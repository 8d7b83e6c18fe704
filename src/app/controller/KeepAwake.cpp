#include "app/controller/KeepAwake.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

namespace {
constexpr int kCallTimeoutMs = 2000;
const QString kWho = QStringLiteral("Brisquent");
const QString kWhy = QStringLiteral("Measurement running");
}  // namespace

void CKeepAwake::Acquire() {
    if (m_requested)
        return;
    m_requested = true;
    if (InhibitLogind())
        m_kind = EKind::kLogind;
    else if (InhibitScreenSaver())
        m_kind = EKind::kScreenSaver;
}

void CKeepAwake::Release() {
    if (m_kind == EKind::kLogind) {
        m_inhibitFd = QDBusUnixFileDescriptor();
    } else if (m_kind == EKind::kScreenSaver) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected()) {
            QDBusMessage call =
                QDBusMessage::createMethodCall("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                               "org.freedesktop.ScreenSaver", "UnInhibit");
            call << m_cookie;
            bus.call(call, QDBus::Block, kCallTimeoutMs);
        }
    }
    m_kind = EKind::kNone;
    m_requested = false;
}

bool CKeepAwake::InhibitLogind() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                       "org.freedesktop.login1.Manager", "Inhibit");
    call << QStringLiteral("sleep:idle") << kWho << kWhy << QStringLiteral("block");
    QDBusReply<QDBusUnixFileDescriptor> reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (!reply.isValid() || !reply.value().isValid())
        return false;
    m_inhibitFd = reply.value();
    return true;
}

bool CKeepAwake::InhibitScreenSaver() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                       "org.freedesktop.ScreenSaver", "Inhibit");
    call << kWho << kWhy;
    QDBusReply<uint32_t> reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (!reply.isValid())
        return false;
    m_cookie = reply.value();
    return true;
}
