#pragma once

#include "platform/StatusItem.h"
#include "platform/desktop/DBusMenuExporter.h"
#include "platform/desktop/ImageWindow.h"
#include "platform/desktop/PopupMenu.h"
#include "platform/desktop/SniTypes.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QPoint>
#include <QTimer>

#include <memory>

namespace tickwell {

inline constexpr auto kStatusNotifierWatcherService = "org.kde.StatusNotifierWatcher";

// The status item as an org.kde.StatusNotifierItem on the session bus, for panels that host
// items through a StatusNotifierWatcher. The panel draws the icon from our image and the title as
// the item's label (the Ayatana label extension) and tool tip. The menu is either our own Qt menu,
// opened at the icon by any click the panel passes on (the item then has no Menu), or the
// panel's, drawn from the dbusmenu export; there a chart the panel can only draw at icon size
// opens at full size in a window of its own when chosen. Registers with the watcher at once and
// again whenever the watcher restarts.
class SniStatusItem final : public QObject, public StatusItem {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ applicationTitle)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ noName)
    Q_PROPERTY(QList<tickwell::SniIconPixmap> IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ noName)
    Q_PROPERTY(QList<tickwell::SniIconPixmap> OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ noName)
    Q_PROPERTY(QList<tickwell::SniIconPixmap> AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ noName)
    Q_PROPERTY(QString IconThemePath READ noName)
    Q_PROPERTY(tickwell::SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    // Exported in the panel form only (the own form exports the scriptable properties): a panel
    // makes a menu of whatever path it is given, even "/NO_DBUSMENU", and then never asks us.
    Q_PROPERTY(QDBusObjectPath Menu READ menuPath SCRIPTABLE false)
    Q_PROPERTY(QString XAyatanaLabel READ label)
    Q_PROPERTY(QString XAyatanaLabelGuide READ label)

public:
    explicit SniStatusItem(QDBusConnection bus = QDBusConnection::sessionBus(), PanelMenu form = PanelMenu::Panel);
    ~SniStatusItem() override;

    // The bus name the item is known by; empty when the bus refused every name tried.
    QString serviceName() const { return m_serviceName; }
    static QString objectPath() { return QStringLiteral("/StatusNotifierItem"); }
    static QString menuObjectPath() { return QStringLiteral("/MenuBar"); }
    PanelMenu panelMenu() const { return m_popup ? PanelMenu::Own : PanelMenu::Panel; }

    void setImage(const QString &name, const QImage &image) override;
    QString imageName() const override { return m_imageName; }
    QImage image() const override { return m_image; }

    void setTitle(const QString &title) override;
    void setStyledTitle(const std::vector<StyledRun> &runs) override;
    QString title() const override { return m_title; }
    std::optional<std::vector<StyledRun>> styledTitle() const override { return m_styled; }

    void setToolTipNote(const QString &note) override;

    void setMenu(const Menu &menu) override;
    const Menu &menu() const override { return m_popup ? m_popup->menu() : m_menuExporter->menu(); }
    void setMenuHandlers(MenuHandlers handlers) override;

    // Our own menu (none in the panel form), and the window of the chart last chosen in the panel's.
    PopupMenu *popupMenu() { return m_popup.get(); }
    ImageWindow *imageWindow() { return m_imageWindow.get(); }

    // Property readers of the D-Bus interface.
    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("tickwell"); }
    QString applicationTitle() const { return QStringLiteral(TICKWELL_NAME); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString noName() const { return {}; }
    SniIconPixmapList noPixmaps() const { return {}; }
    SniIconPixmapList iconPixmap() const { return m_pixmaps; }
    SniToolTip toolTip() const;
    // xfce4-panel shows its (here empty) dbusmenu on a left click of a menu-only item and calls
    // Activate otherwise; no panel needs the flag to call us.
    bool itemIsMenu() const { return !m_popup; }
    QDBusObjectPath menuPath() const { return QDBusObjectPath(menuObjectPath()); }
    QString label() const { return m_title; }

public Q_SLOTS:
    // Panels differ in which of these a click calls (and with ItemIsMenu some call ContextMenu on
    // a left click): each opens our own menu at the click; (0, 0) means at the pointer. In the
    // panel form the panel shows the menu itself and these do nothing.
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString &orientation);

Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString &status);
    void XAyatanaNewLabel(const QString &label, const QString &guide);

private:
    void claimServiceName();
    void registerWithWatcher();
    void titleChanged(const QString &previous);
    void openMenu(int x, int y);
    void openMenuOnceReleased();
    void showImage(const MenuItem &item, const MenuHandlers &handlers);

    QDBusConnection m_bus;
    QString m_serviceName;
    bool m_objectRegistered = false;
    std::unique_ptr<DBusMenuExporter> m_menuExporter; // the panel form
    std::unique_ptr<PopupMenu> m_popup;               // the own form
    std::unique_ptr<ImageWindow> m_imageWindow;
    QTimer m_openTimer;
    QPoint m_click;
    int m_releaseChecks = 0;
    QDBusServiceWatcher m_watcherWatch;
    QString m_imageName;
    QImage m_image;
    SniIconPixmapList m_pixmaps;
    QString m_title;
    std::optional<std::vector<StyledRun>> m_styled;
};

} // namespace tickwell
