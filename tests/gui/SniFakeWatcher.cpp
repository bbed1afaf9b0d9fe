#include "SniFakeWatcher.h"

#include <QDBusMessage>

namespace tickwell::testing {

SniFakeWatcher::SniFakeWatcher(QDBusConnection bus)
    : m_bus(std::move(bus))
{
    m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals | QDBusConnection::ExportAllProperties);
}

SniFakeWatcher::~SniFakeWatcher()
{
    stop();
    m_bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
}

bool SniFakeWatcher::start()
{
    m_items.clear();
    m_senders.clear();
    m_started = m_bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    return m_started;
}

void SniFakeWatcher::stop()
{
    if (m_started)
        m_bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    m_started = false;
}

void SniFakeWatcher::RegisterStatusNotifierItem(const QString &service)
{
    m_items.append(service);
    m_senders.append(message().service());
    Q_EMIT StatusNotifierItemRegistered(service);
}

void SniFakeWatcher::RegisterStatusNotifierHost(const QString &)
{
    Q_EMIT StatusNotifierHostRegistered();
}

} // namespace tickwell::testing
