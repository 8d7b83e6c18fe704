#include "controller/KeepAwake.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
// An answer later than this counts as none; the window thread never waits for it.
constexpr int kAnswerTimeoutMs = 5000;
const QString kWho = QStringLiteral("Brisquent");
const QString kWhy = QStringLiteral("Measurement running");
const QString kScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
}  // namespace

CKeepAwake::CKeepAwake(QObject* parent) : QObject(parent) {}

CKeepAwake::~CKeepAwake() {
    Release();
}

void CKeepAwake::Acquire() {
    if (m_requested)
        return;
    m_requested = true;
    ++m_request;
    InhibitSleep();
    InhibitIdle();
}

void CKeepAwake::Release() {
    // Answers still on their way belong to a request that is over.
    ++m_request;
    m_requested = false;
    m_sleepInhibit = QDBusUnixFileDescriptor();
    if (m_idleCookie)
        UnInhibitIdle(*m_idleCookie);
    m_idleCookie.reset();
}

void CKeepAwake::InhibitSleep() {
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                       "org.freedesktop.login1.Manager", "Inhibit");
    call << QStringLiteral("sleep:idle") << kWho << kWhy << QStringLiteral("block");
    WatchAnswer(call, true, &CKeepAwake::OnSleepAnswer);
}

void CKeepAwake::InhibitIdle() {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kScreenSaverService, kScreenSaverPath, kScreenSaverService, "Inhibit");
    call << kWho << kWhy;
    WatchAnswer(call, false, &CKeepAwake::OnIdleAnswer);
}

void CKeepAwake::WatchAnswer(const QDBusMessage& call, bool systemBus,
                             void (CKeepAwake::*onAnswer)(QDBusPendingCallWatcher*, uint32_t)) {
    QDBusConnection bus = systemBus ? QDBusConnection::systemBus() : QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kAnswerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, onAnswer, request = m_request](QDBusPendingCallWatcher* answered) {
                (this->*onAnswer)(answered, request);
            });
}

void CKeepAwake::OnSleepAnswer(QDBusPendingCallWatcher* watcher, uint32_t request) {
    QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
    watcher->deleteLater();
    // A stale inhibit ends as its descriptor closes with the reply.
    if (request == m_request && reply.isValid() && reply.value().isValid())
        m_sleepInhibit = reply.value();
}

void CKeepAwake::OnIdleAnswer(QDBusPendingCallWatcher* watcher, uint32_t request) {
    QDBusPendingReply<uint32_t> reply = *watcher;
    watcher->deleteLater();
    if (!reply.isValid())
        return;
    if (request == m_request)
        m_idleCookie = reply.value();
    else
        UnInhibitIdle(reply.value());
}

void CKeepAwake::UnInhibitIdle(uint32_t cookie) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kScreenSaverService, kScreenSaverPath,
                                                       kScreenSaverService, "UnInhibit");
    call << cookie;
    // No answer is awaited.
    bus.send(call);
}
