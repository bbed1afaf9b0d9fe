#pragma once

#include "platform/StatusItem.h"
#include "platform/desktop/PopupMenu.h"

#include <QSystemTrayIcon>

namespace tickwell {

// The status item on Qt's tray icon (XEmbed trays and watchers Qt knows). The icon shows the
// image; the title, which such trays cannot draw beside the icon, shows as the tool tip. Either
// click opens the menu.
class QtTrayStatusItem final : public StatusItem {
public:
    QtTrayStatusItem();
    ~QtTrayStatusItem() override;

    void setImage(const QString &name, const QImage &image) override;
    QString imageName() const override { return m_imageName; }
    QImage image() const override { return m_image; }

    void setTitle(const QString &title) override;
    void setStyledTitle(const std::vector<StyledRun> &runs) override;
    QString title() const override { return m_title; }
    std::optional<std::vector<StyledRun>> styledTitle() const override { return m_styled; }

    void setToolTipNote(const QString &note) override;

    void setMenu(const Menu &menu) override { m_menu.setMenu(menu); }
    const Menu &menu() const override { return m_menu.menu(); }
    void setMenuHandlers(MenuHandlers handlers) override { m_menu.setHandlers(std::move(handlers)); }

    QSystemTrayIcon &trayIcon() { return m_tray; }
    QMenu &qmenu() { return m_menu.qmenu(); }

private:
    void updateToolTip();

    PopupMenu m_menu;
    QSystemTrayIcon m_tray;
    QString m_imageName;
    QImage m_image;
    QString m_title;
    std::optional<std::vector<StyledRun>> m_styled;
};

} // namespace tickwell
