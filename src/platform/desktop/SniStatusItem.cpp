#include "platform/desktop/SniStatusItem.h"

#include "platform/desktop/MenuRenderer.h"
#include "platform/desktop/X11Windows.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

namespace tickwell {

namespace {

// Names other items of this process may hold already (a test, a restart of this item).
constexpr int kServiceNameAttempts = 16;

// A panel that calls on the button's press still holds the pointer then, and our menu could not
// take it: the menu opens once the button is up, checked this often for at most this long.
constexpr int kReleaseCheckMilliseconds = 20;
constexpr int kReleaseChecks = 75;

// What the panel's menu loses: an image beyond icon size on an item that opens a web page.
bool imageLostInPanelMenu(const MenuItem &item)
{
    if (item.action.isEmpty() || !item.toolTip)
        return false;
    const QUrl address(*item.toolTip);
    if (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https"))
        return false;
    const QImage image = MenuRenderer::itemImage(item);
    return image.width() > 32 || image.height() > 32;
}

} // namespace

SniStatusItem::SniStatusItem(QDBusConnection bus, PanelMenu form)
    : m_bus(std::move(bus))
    , m_menuExporter(form == PanelMenu::Panel ? std::make_unique<DBusMenuExporter>(m_bus, menuObjectPath()) : nullptr)
    , m_popup(form == PanelMenu::Own ? std::make_unique<PopupMenu>() : nullptr)
    , m_watcherWatch(QString::fromLatin1(kStatusNotifierWatcherService), m_bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    RegisterSniTypes();
    m_openTimer.setInterval(kReleaseCheckMilliseconds);
    QObject::connect(&m_openTimer, &QTimer::timeout, this, [this] { openMenuOnceReleased(); });
    if (!m_bus.isConnected())
        return;
    m_objectRegistered = m_bus.registerObject(objectPath(), this,
        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
            | (m_popup ? QDBusConnection::ExportScriptableProperties : QDBusConnection::ExportAllProperties));
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

void SniStatusItem::setMenu(const Menu &menu)
{
    if (m_popup)
        m_popup->setMenu(menu);
    else
        m_menuExporter->setMenu(menu);
}

void SniStatusItem::setMenuHandlers(MenuHandlers handlers)
{
    if (m_popup) {
        m_popup->setHandlers(std::move(handlers));
        return;
    }
    MenuHandlers forPanel = handlers;
    forPanel.triggered = [this, handlers](const MenuItem &item) {
        if (imageLostInPanelMenu(item))
            showImage(item, handlers);
        else if (handlers.triggered)
            handlers.triggered(item);
    };
    m_menuExporter->setHandlers(std::move(forPanel));
}

void SniStatusItem::showImage(const MenuItem &item, const MenuHandlers &handlers)
{
    // The exporter has told the owner that the panel's menu closed with the click.
    m_imageWindow = std::make_unique<ImageWindow>(MenuRenderer::itemImage(item), QStringLiteral(TICKWELL_NAME), *item.toolTip,
        [triggered = handlers.triggered, item] {
            if (triggered)
                triggered(item);
        });
    m_imageWindow->show();
    m_imageWindow->raise();
    m_imageWindow->activateWindow();
}

void SniStatusItem::Activate(int x, int y)
{
    openMenu(x, y);
}

void SniStatusItem::SecondaryActivate(int x, int y)
{
    openMenu(x, y);
}

void SniStatusItem::ContextMenu(int x, int y)
{
    openMenu(x, y);
}

void SniStatusItem::openMenu(int x, int y)
{
    if (!m_popup)
        return;
    if (x == 0 && y == 0) {
        m_click = QCursor::pos();
    } else {
        // Panels pass the pointer's place on the X screen, in device pixels.
        const QScreen *screen = QGuiApplication::primaryScreen();
        m_click = (QPointF(x, y) / (screen ? screen->devicePixelRatio() : 1.0)).toPoint();
    }
    m_releaseChecks = 0;
    openMenuOnceReleased();
}

void SniStatusItem::openMenuOnceReleased()
{
    if (X11PointerButtonDown() && ++m_releaseChecks < kReleaseChecks) {
        m_openTimer.start();
        return;
    }
    m_openTimer.stop();
    m_popup->popupAt(m_click, X11TopLevelWindowAt(m_click));
}

void SniStatusItem::Scroll(int, const QString &) {}

} // namespace tickwell
