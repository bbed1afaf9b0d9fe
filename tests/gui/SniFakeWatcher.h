#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>

namespace tickwell::testing {

// The smallest org.kde.StatusNotifierWatcher: takes registrations and remembers who sent them.
class SniFakeWatcher final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    explicit SniFakeWatcher(QDBusConnection bus);
    ~SniFakeWatcher() override;

    // Takes the watcher's name on the bus (what a panel starting does) or gives it up.
    bool start();
    void stop();

    QStringList registeredItems() const { return m_items; }
    // The unique bus names of the senders, one per registration.
    QStringList senders() const { return m_senders; }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service);
    void RegisterStatusNotifierHost(const QString &service);

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString &service);
    void StatusNotifierItemUnregistered(const QString &service);
    void StatusNotifierHostRegistered();

private:
    QDBusConnection m_bus;
    bool m_started = false;
    QStringList m_items;
    QStringList m_senders;
};

} // namespace tickwell::testing
