#pragma once

#include "platform/StatusItem.h"
#include "platform/desktop/MenuRenderer.h"
#include "platform/desktop/StyledMenuStyle.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include <memory>

namespace tickwell {

// The status item on Qt's tray icon (XEmbed trays and watchers Qt knows). The icon shows the
// image; the title, which such trays cannot draw beside the icon, shows as the tool tip. A menu
// on screen is never cleared under the pointer: a model set meanwhile is drawn when it closes.
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

    void setMenu(const Menu &menu) override;
    const Menu &menu() const override { return m_model; }
    void setMenuHandlers(MenuHandlers handlers) override;

    QSystemTrayIcon &trayIcon() { return m_tray; }
    QMenu &qmenu() { return *m_menu; }

private:
    void updateToolTip();
    void render();

    StyledMenuStyle m_style;
    MenuRenderer m_renderer{m_style};
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon m_tray;
    QString m_imageName;
    QImage m_image;
    QString m_title;
    std::optional<std::vector<StyledRun>> m_styled;
    Menu m_model;
    MenuHandlers m_handlers;
    bool m_renderPending = false; // a model set while the menu was on screen, drawn once it closes
};

} // namespace tickwell
