#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

#include <algorithm>
#include <iterator>

namespace tickwell::testing {

// Collects the signals one D-Bus object sends, in arrival order.
class SniSignalRecorder final : public QObject {
    Q_OBJECT
public:
    SniSignalRecorder(QDBusConnection bus, const QString &service, const QString &path, const QString &interface)
    {
        bus.connect(service, path, interface, QString(), this, SLOT(record(QDBusMessage)));
    }

    const QList<QDBusMessage> &messages() const { return m_messages; }
    QList<QDBusMessage> named(const QString &member) const
    {
        QList<QDBusMessage> result;
        std::copy_if(m_messages.begin(), m_messages.end(), std::back_inserter(result),
            [&](const QDBusMessage &message) { return message.member() == member; });
        return result;
    }
    void clear() { m_messages.clear(); }

public Q_SLOTS:
    void record(const QDBusMessage &message) { m_messages.append(message); }

private:
    QList<QDBusMessage> m_messages;
};

} // namespace tickwell::testing
