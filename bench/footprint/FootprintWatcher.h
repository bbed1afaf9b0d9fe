#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

namespace tickwell::bench {

// The panel's side of the status area, as small as it gets: takes status item registrations
// and remembers the bus name of each item.
class FootprintWatcher final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public:
    bool start()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        return bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this, QDBusConnection::ExportAllSlots)
            && bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    }

    QStringList items;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &)
    {
        items.append(message().service());
    }
};

} // namespace tickwell::bench
