#pragma once

#include "platform/StatusItem.h"
#include "platform/desktop/MenuRenderer.h"
#include "platform/desktop/StyledMenuStyle.h"

#include <QMenu>
#include <QRect>

#include <memory>
#include <optional>

namespace tickwell {

// The status menu drawn by Qt (styled titles, colours, images at their own size), for the tray
// icon and for status-notifier panels that leave the menu to us. A menu on screen is never
// cleared under the pointer: a model set meanwhile is drawn when it closes. The owner hears the
// menu open and close (aboutToShow/aboutToHide), so a click elsewhere, Escape or a focus change
// end its hold as a chosen item does.
class PopupMenu {
public:
    PopupMenu();
    ~PopupMenu();
    PopupMenu(const PopupMenu &) = delete;
    PopupMenu &operator=(const PopupMenu &) = delete;

    void setMenu(const Menu &menu);
    const Menu &menu() const { return m_model; }
    void setHandlers(MenuHandlers handlers) { m_handlers = std::move(handlers); }

    // Rebuilds the menu, then opens it beside the panel (or icon) at a click there, on the
    // click's screen, with the keyboard (global logical pixels). Nothing when already open.
    void popupAt(QPoint click, std::optional<QRect> panel);

    QMenu &qmenu() { return *m_menu; }

private:
    void render();

    StyledMenuStyle m_style;
    MenuRenderer m_renderer{m_style};
    std::unique_ptr<QMenu> m_menu;
    Menu m_model;
    MenuHandlers m_handlers;
    bool m_renderPending = false; // a model set while the menu was on screen, drawn once it closes
    bool m_rebuiltForOpening = false;
};

} // namespace tickwell
