#include "platform/session/DBusNotificationCenter.h"

#include <QDBusMessage>

namespace tickwell {

namespace {

constexpr int kBusRoundTripTimeoutMilliseconds = 2000;

} // namespace

DBusNotificationCenter::DBusNotificationCenter(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    if (m_bus.isConnected()) {
        m_listening = m_bus.connect(QString(), kNotificationDBusPath, kNotificationDBusInterface,
            kPreferencesChangedSignal, QStringLiteral("s"), this, SLOT(receivePreferencesChanged(QDBusMessage)));
    }
}

DBusNotificationCenter::~DBusNotificationCenter()
{
    if (m_listening) {
        m_bus.disconnect(QString(), kNotificationDBusPath, kNotificationDBusInterface, kPreferencesChangedSignal,
            QStringLiteral("s"), this, SLOT(receivePreferencesChanged(QDBusMessage)));
    }
}

void DBusNotificationCenter::postPreferencesChanged()
{
    notifyObservers();
    if (!m_bus.isConnected())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kNotificationDBusPath, kNotificationDBusInterface,
        kPreferencesChangedSignal);
    signal << kPreferencesChangedObject;
    if (!m_bus.send(signal))
        return;
    // The bus handles a connection's messages in order, so once it answers this call the signal
    // has been routed: a short-lived poster cannot exit with it still queued.
    m_bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                   QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
                   QStringLiteral("GetId")),
        QDBus::Block, kBusRoundTripTimeoutMilliseconds);
}

void DBusNotificationCenter::observePreferencesChanged(std::function<void()> callback)
{
    m_observers.push_back(std::move(callback));
}

void DBusNotificationCenter::receivePreferencesChanged(const QDBusMessage &message)
{
    // Our own post reached the observers already.
    if (message.service() == m_bus.baseService())
        return;
    const QVariantList arguments = message.arguments();
    if (arguments.isEmpty() || arguments.first().toString() != kPreferencesChangedObject)
        return;
    notifyObservers();
}

void DBusNotificationCenter::notifyObservers()
{
    // A copy: an observer may add observers while being called.
    const auto observers = m_observers;
    for (const auto &observer : observers)
        observer();
}

} // namespace tickwell
