#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

#include <utility>

namespace tickwell::testing {

// The smallest org.kde.StatusNotifierWatcher: takes registrations and remembers who sent them.
class SniFakeWatcher final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public:
    explicit SniFakeWatcher(QDBusConnection bus)
        : m_bus(std::move(bus))
    {
        m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this, QDBusConnection::ExportAllSlots);
    }
    ~SniFakeWatcher() override
    {
        stop();
        m_bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
    }

    // Takes the watcher's name (what a panel starting does) or gives it up.
    bool start()
    {
        m_items.clear();
        m_senders.clear();
        return m_started = m_bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    }
    void stop()
    {
        if (std::exchange(m_started, false))
            m_bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    }

    QStringList registeredItems() const { return m_items; }
    QStringList senders() const { return m_senders; } // unique bus names, one per registration

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service)
    {
        m_items.append(service);
        m_senders.append(message().service());
    }

private:
    QDBusConnection m_bus;
    bool m_started = false;
    QStringList m_items;
    QStringList m_senders;
};

} // namespace tickwell::testing
