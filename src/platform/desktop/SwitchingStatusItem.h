#pragma once

#include "platform/StatusItem.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QTimer>

#include <chrono>
#include <memory>

namespace tickwell {

// The status item the application talks to. It shows itself as a StatusNotifierItem while a
// StatusNotifierWatcher is on the session bus and as Qt's tray icon (XEmbed) otherwise, and moves
// between the two when the watcher appears or goes, carrying image, title, menu and handlers over.
// On a status-notifier panel the menu is our own Qt menu or the panel's (PanelMenu); a change of
// that choice puts a new status notifier item in place of the old one.
class SwitchingStatusItem final : public StatusItem {
public:
    enum class Backend { StatusNotifier, QtTray };
    using Factory = std::function<std::unique_ptr<StatusItem>()>;

    // A watcher that goes away is given fallbackDelay to come back (a panel restarting) before
    // the tray icon replaces the status notifier item. The factories default to SniStatusItem on
    // the bus (with the menu form in effect) and QtTrayStatusItem.
    explicit SwitchingStatusItem(QDBusConnection bus = QDBusConnection::sessionBus(),
        std::chrono::milliseconds fallbackDelay = std::chrono::seconds(3), Factory makeStatusNotifier = {},
        Factory makeQtTray = {}, std::optional<PanelMenu> panelMenu = std::nullopt);

    // Our own menu where the panel passes click positions (X11); the panel's on Wayland, where a
    // client cannot place a popup at another client's icon.
    static PanelMenu defaultPanelMenu();
    ~SwitchingStatusItem() override;

    Backend backend() const { return m_backend; }
    PanelMenu panelMenu() const { return m_panelMenu; }
    StatusItem &active() { return *m_active; }

    void setImage(const QString &name, const QImage &image) override;
    QString imageName() const override { return m_imageName; }
    QImage image() const override { return m_image; }

    void setTitle(const QString &title) override;
    void setStyledTitle(const std::vector<StyledRun> &runs) override;
    QString title() const override { return m_title; }
    std::optional<std::vector<StyledRun>> styledTitle() const override { return m_styled; }

    void setToolTipNote(const QString &note) override;

    void setMenu(const Menu &menu) override;
    const Menu &menu() const override { return m_menu; }
    void setMenuHandlers(MenuHandlers handlers) override;
    void setPanelMenu(std::optional<PanelMenu> form) override;

private:
    bool watcherPresent() const;
    // Switches at once, or after the callback running now has returned: the active item must
    // not be destroyed while one of its callbacks is on the stack (an action may run a nested
    // event loop in which the watcher comes or goes).
    void requestSwitch(Backend backend, bool renew = false);
    void applyPendingSwitch();
    void switchTo(Backend backend);
    template <typename Call> void dispatch(Call &&call);

    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    QTimer m_fallbackTimer;
    Factory m_makeStatusNotifier;
    Factory m_makeQtTray;
    Backend m_backend = Backend::QtTray;
    std::unique_ptr<StatusItem> m_active;
    std::optional<Backend> m_pendingBackend;
    bool m_pendingRenew = false; // the same backend, made anew
    PanelMenu m_panelMenu = PanelMenu::Own;
    int m_dispatchDepth = 0;

    QString m_imageName;
    QImage m_image;
    QString m_title;
    std::optional<std::vector<StyledRun>> m_styled;
    Menu m_menu;
    MenuHandlers m_handlers;
};

} // namespace tickwell
