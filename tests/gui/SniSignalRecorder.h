#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>
#include <QObject>

namespace tickwell::testing {

// Collects the signals one D-Bus object sends.
class SniSignalRecorder final : public QObject {
    Q_OBJECT
public:
    SniSignalRecorder(QDBusConnection bus, const QString &service, const QString &path, const QString &interface)
    {
        bus.connect(service, path, interface, QString(), this, SLOT(record(QDBusMessage)));
    }
    QList<QDBusMessage> named(const QString &member) const { return m_messages.value(member); }

public Q_SLOTS:
    void record(const QDBusMessage &message) { m_messages[message.member()].append(message); }

private:
    QHash<QString, QList<QDBusMessage>> m_messages; // by signal name, in arrival order
};

} // namespace tickwell::testing
