#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <vector>

namespace tickwell::testing {

// org.freedesktop.Notifications on a test bus: records every Notify and sends ActionInvoked on
// demand, as a desktop's notification service does when the user clicks a notification.
class FakeNotificationServer final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        QString appName;
        uint replacesId;
        QString appIcon;
        QString desktopEntry;
        QString summary;
        QString body;
        QStringList actions;
        QSize imageSize;   // of the "image-data" hint; invalid without one
        int imageChannels = 0;
        int expireTimeout;
    };

    explicit FakeNotificationServer(QDBusConnection bus) : m_bus(std::move(bus))
    {
        m_registered = m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this, QDBusConnection::ExportAllSlots)
                       && m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }

    bool isRegistered() const { return m_registered; }

    void invokeAction(uint id, const QString &key)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                         QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << id << key;
        m_bus.send(signal);
    }

    std::vector<Call> calls;

public Q_SLOTS:
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int expireTimeout)
    {
        Call call{appName, replacesId, appIcon, hints.value(QStringLiteral("desktop-entry")).toString(), summary, body, actions, {}, 0, expireTimeout};
        if (hints.contains(QStringLiteral("image-data"))) {
            const QDBusArgument image = hints.value(QStringLiteral("image-data")).value<QDBusArgument>();
            int width = 0, height = 0, stride = 0, bitsPerSample = 0, channels = 0;
            bool alpha = false;
            QByteArray bytes;
            image.beginStructure();
            image >> width >> height >> stride >> alpha >> bitsPerSample >> channels >> bytes;
            image.endStructure();
            if (bytes.size() == qsizetype(stride) * height && bitsPerSample == 8)
                call.imageSize = QSize(width, height);
            call.imageChannels = channels;
        }
        calls.push_back(call);
        return static_cast<uint>(calls.size()) + 100; // ids of the service's own
    }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

private:
    QDBusConnection m_bus;
    bool m_registered = false;
};

} // namespace tickwell::testing
