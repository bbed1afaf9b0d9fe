#include "platform/desktop/SniStatusItem.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCall>

namespace tickwell {

namespace {

// Names other items of this process may hold already (a test, a restart of this item).
constexpr int kServiceNameAttempts = 16;

} // namespace

SniStatusItem::SniStatusItem(QDBusConnection bus)
    : m_bus(std::move(bus))
    , m_menuExporter(std::make_unique<DBusMenuExporter>(m_bus, menuObjectPath()))
    , m_watcherWatch(QString::fromLatin1(kStatusNotifierWatcherService), m_bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    RegisterSniTypes();
    if (!m_bus.isConnected())
        return;
    m_objectRegistered = m_bus.registerObject(objectPath(), this,
        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals | QDBusConnection::ExportAllProperties);
    claimServiceName();
    // A watcher that restarts forgets its items: tell the new one about us.
    connect(&m_watcherWatch, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &newOwner) {
            if (!newOwner.isEmpty())
                registerWithWatcher();
        });
    registerWithWatcher();
}

SniStatusItem::~SniStatusItem()
{
    if (!m_serviceName.isEmpty())
        m_bus.unregisterService(m_serviceName);
    if (m_objectRegistered)
        m_bus.unregisterObject(objectPath());
}

void SniStatusItem::claimServiceName()
{
    const qint64 pid = QCoreApplication::applicationPid();
    for (int instance = 1; instance <= kServiceNameAttempts; ++instance) {
        const QString name = QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(pid).arg(instance);
        if (m_bus.registerService(name)) {
            m_serviceName = name;
            return;
        }
    }
}

void SniStatusItem::registerWithWatcher()
{
    if (!m_objectRegistered)
        return;
    // Without a name of our own the watcher finds the item at the default path of our
    // connection's unique name.
    const QString service = m_serviceName.isEmpty() ? m_bus.baseService() : m_serviceName;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kStatusNotifierWatcherService),
        QStringLiteral("/StatusNotifierWatcher"), QString::fromLatin1(kStatusNotifierWatcherService),
        QStringLiteral("RegisterStatusNotifierItem"));
    call << service;
    // Asynchronous: the watcher may live in this very process and answer from this thread.
    m_bus.asyncCall(call);
}

void SniStatusItem::setImage(const QString &name, const QImage &image)
{
    const bool same = name == m_imageName && image.cacheKey() == m_image.cacheKey();
    m_imageName = name;
    if (same || image == m_image)
        return;
    m_image = image;
    m_pixmaps = SniIconPixmaps(image);
    Q_EMIT NewIcon();
}

void SniStatusItem::setTitle(const QString &title)
{
    const QString previous = m_title;
    m_title = title;
    m_styled.reset();
    titleChanged(previous);
}

void SniStatusItem::setStyledTitle(const std::vector<StyledRun> &runs)
{
    const QString previous = m_title;
    m_title = plainText(runs);
    m_styled = runs;
    titleChanged(previous);
}

void SniStatusItem::titleChanged(const QString &previous)
{
    // Panels draw only the plain text: colours of a styled title cannot travel.
    if (previous == m_title)
        return;
    Q_EMIT NewToolTip();
    Q_EMIT XAyatanaNewLabel(m_title, m_title);
}

void SniStatusItem::setToolTipNote(const QString &note)
{
    StatusItem::setToolTipNote(note);
    Q_EMIT NewToolTip();
}

SniToolTip SniStatusItem::toolTip() const
{
    SniToolTip tip;
    tip.title = m_title.isEmpty() ? applicationTitle() : m_title;
    tip.description = toolTipNote();
    return tip;
}

void SniStatusItem::Activate(int, int) {}
void SniStatusItem::SecondaryActivate(int, int) {}
void SniStatusItem::ContextMenu(int, int) {}
void SniStatusItem::Scroll(int, const QString &) {}

} // namespace tickwell
