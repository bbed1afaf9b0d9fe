#include "platform/session/DBusDesktopNotifications.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace tickwell {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");
constexpr int kNotifyTimeoutMilliseconds = 5000;
constexpr size_t kRememberedActions = 64;

// The "image-data" hint: width, height, row stride, alpha, bits per sample, channels, RGBA bytes.
QDBusArgument imageData(const QImage &icon)
{
    const QImage rgba = icon.convertToFormat(QImage::Format_RGBA8888);
    QDBusArgument argument;
    argument.beginStructure();
    argument << rgba.width() << rgba.height() << static_cast<int>(rgba.bytesPerLine()) << true << 8 << 4
             << QByteArray(reinterpret_cast<const char *>(rgba.constBits()), rgba.sizeInBytes());
    argument.endStructure();
    return argument;
}

} // namespace

DBusDesktopNotifications::DBusDesktopNotifications(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    if (m_bus.isConnected()) {
        m_listening = m_bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                                    SLOT(actionInvoked(uint, QString)));
        m_bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                      SLOT(notificationClosed(uint, uint)));
    }
}

DBusDesktopNotifications::~DBusDesktopNotifications()
{
    if (m_listening) {
        m_bus.disconnect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
        m_bus.disconnect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                         SLOT(notificationClosed(uint, uint)));
    }
}

void DBusDesktopNotifications::show(DesktopNotification notification)
{
    if (!m_bus.isConnected()) {
        if (notification.onUndelivered)
            notification.onUndelivered();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QStringList actions;
    if (notification.onDefaultAction)
        actions << kDefaultAction << notification.defaultActionLabel;
    QVariantMap hints;
    if (!notification.iconName.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), notification.iconName);
    if (!notification.icon.isNull())
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(imageData(notification.icon)));
    call << QStringLiteral(TICKWELL_NAME) << uint(0) << notification.iconName << notification.summary << notification.body
         << actions << hints << int(-1);

    ++m_pendingCalls;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kNotifyTimeoutMilliseconds), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, onDefault = std::move(notification.onDefaultAction), onUndelivered = std::move(notification.onUndelivered)](
                QDBusPendingCallWatcher *finished) mutable {
                finished->deleteLater();
                --m_pendingCalls;
                const QDBusPendingReply<uint> reply = *finished;
                if (reply.isError()) {
                    if (onUndelivered)
                        onUndelivered();
                    return;
                }
                if (onDefault)
                    remember(reply.value(), std::move(onDefault));
            });
}

void DBusDesktopNotifications::remember(uint id, std::function<void()> onDefaultAction)
{
    if (!m_actions.contains(id))
        m_order.push_back(id);
    m_actions.insert(id, std::move(onDefaultAction));
    while (m_order.size() > kRememberedActions) {
        m_actions.remove(m_order.front());
        m_order.pop_front();
    }
}

void DBusDesktopNotifications::actionInvoked(uint id, const QString &actionKey)
{
    if (actionKey != kDefaultAction)
        return;
    const auto it = m_actions.constFind(id);
    if (it == m_actions.constEnd())
        return; // another application's notification, or one long gone
    const auto action = *it; // a copy: the action may show another notification
    action();
}

void DBusDesktopNotifications::notificationClosed(uint id, uint)
{
    if (m_actions.remove(id) > 0)
        std::erase(m_order, id);
}

} // namespace tickwell
