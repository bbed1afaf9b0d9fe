#include "platform/desktop/SwitchingStatusItem.h"

#include "platform/desktop/QtTrayStatusItem.h"
#include "platform/desktop/SniStatusItem.h"

#include <QDBusConnectionInterface>
#include <QGuiApplication>

namespace tickwell {

SwitchingStatusItem::SwitchingStatusItem(QDBusConnection bus, std::chrono::milliseconds fallbackDelay,
    Factory makeStatusNotifier, Factory makeQtTray, std::optional<PanelMenu> panelMenu)
    : m_bus(std::move(bus))
    , m_watcher(QString::fromLatin1(kStatusNotifierWatcherService), m_bus,
          QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration)
    , m_makeStatusNotifier(std::move(makeStatusNotifier))
    , m_makeQtTray(std::move(makeQtTray))
    , m_panelMenu(panelMenu.value_or(defaultPanelMenu()))
{
    if (!m_makeStatusNotifier)
        m_makeStatusNotifier = [this] { return std::make_unique<SniStatusItem>(m_bus, m_panelMenu); };
    if (!m_makeQtTray)
        m_makeQtTray = [] { return std::make_unique<QtTrayStatusItem>(); };

    m_fallbackTimer.setSingleShot(true);
    m_fallbackTimer.setInterval(fallbackDelay);
    QObject::connect(&m_fallbackTimer, &QTimer::timeout, &m_fallbackTimer, [this] {
        if (!watcherPresent())
            requestSwitch(Backend::QtTray);
    });
    QObject::connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, &m_watcher, [this] {
        m_fallbackTimer.stop();
        requestSwitch(Backend::StatusNotifier);
    });
    QObject::connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, &m_watcher, [this] {
        m_fallbackTimer.start();
    });

    switchTo(watcherPresent() ? Backend::StatusNotifier : Backend::QtTray);
}

SwitchingStatusItem::~SwitchingStatusItem() = default;

PanelMenu SwitchingStatusItem::defaultPanelMenu()
{
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    return x11 ? PanelMenu::Own : PanelMenu::Panel;
}

void SwitchingStatusItem::setPanelMenu(std::optional<PanelMenu> form)
{
    const PanelMenu wanted = form.value_or(defaultPanelMenu());
    if (wanted == m_panelMenu)
        return;
    m_panelMenu = wanted;
    // The tray icon always draws its own menu; a status notifier item is made anew with the other.
    if (m_backend == Backend::StatusNotifier)
        requestSwitch(Backend::StatusNotifier, true);
}

bool SwitchingStatusItem::watcherPresent() const
{
    const QDBusConnectionInterface *busInterface = m_bus.isConnected() ? m_bus.interface() : nullptr;
    return busInterface && busInterface->isServiceRegistered(QString::fromLatin1(kStatusNotifierWatcherService)).value();
}

template <typename Call>
void SwitchingStatusItem::dispatch(Call &&call)
{
    ++m_dispatchDepth;
    call();
    --m_dispatchDepth;
    if (m_dispatchDepth == 0 && m_pendingBackend) {
        // Later, once the active item's own code has left the stack too.
        QTimer::singleShot(0, &m_fallbackTimer, [this] { applyPendingSwitch(); });
    }
}

void SwitchingStatusItem::requestSwitch(Backend backend, bool renew)
{
    m_pendingBackend = backend;
    m_pendingRenew = m_pendingRenew || renew;
    applyPendingSwitch();
}

void SwitchingStatusItem::applyPendingSwitch()
{
    if (!m_pendingBackend || m_dispatchDepth > 0)
        return;
    const Backend backend = *std::exchange(m_pendingBackend, std::nullopt);
    if (std::exchange(m_pendingRenew, false) || backend != m_backend)
        switchTo(backend);
}

void SwitchingStatusItem::switchTo(Backend backend)
{
    // The old item goes first: two icons must never show at once.
    m_active.reset();
    m_backend = backend;
    m_active = backend == Backend::StatusNotifier ? m_makeStatusNotifier() : m_makeQtTray();
    // Hand over everything the application has set so far.
    m_active->setMenuHandlers(MenuHandlers{
        [this] {
            dispatch([this] {
                if (m_handlers.aboutToShow)
                    m_handlers.aboutToShow();
            });
        },
        [this](const MenuItem &item) {
            dispatch([this, &item] {
                if (m_handlers.triggered)
                    m_handlers.triggered(item);
            });
        },
        [this](bool shown) {
            dispatch([this, shown] {
                if (m_handlers.visibility)
                    m_handlers.visibility(shown);
            });
        }});
    m_active->setImage(m_imageName, m_image);
    if (m_styled)
        m_active->setStyledTitle(*m_styled);
    else
        m_active->setTitle(m_title);
    m_active->setMenu(m_menu);
    m_active->setToolTipNote(toolTipNote());
}

void SwitchingStatusItem::setImage(const QString &name, const QImage &image)
{
    m_imageName = name;
    m_image = image;
    m_active->setImage(name, image);
}

void SwitchingStatusItem::setTitle(const QString &title)
{
    m_title = title;
    m_styled.reset();
    m_active->setTitle(title);
}

void SwitchingStatusItem::setStyledTitle(const std::vector<StyledRun> &runs)
{
    m_title = plainText(runs);
    m_styled = runs;
    m_active->setStyledTitle(runs);
}

void SwitchingStatusItem::setToolTipNote(const QString &note)
{
    StatusItem::setToolTipNote(note);
    m_active->setToolTipNote(note);
}

void SwitchingStatusItem::setMenu(const Menu &menu)
{
    m_menu = menu;
    m_active->setMenu(menu);
}

void SwitchingStatusItem::setMenuHandlers(MenuHandlers handlers)
{
    m_handlers = std::move(handlers);
}

} // namespace tickwell
