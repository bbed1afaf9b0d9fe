#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

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
    ~SniFakeWatcher() override { stop(); }

    // Takes the watcher's name (what a panel starting does) or gives it up.
    bool start()
    {
        registeredItems.clear();
        senders.clear();
        return m_bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    }
    void stop() { m_bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher")); }

    QStringList registeredItems;
    QStringList senders; // unique bus names, one per registration

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service)
    {
        registeredItems.append(service);
        senders.append(message().service());
    }

private:
    QDBusConnection m_bus;
};

} // namespace tickwell::testing
