#include "platform/desktop/PopupMenu.h"

#include "platform/desktop/MenuPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace tickwell {

PopupMenu::PopupMenu()
    : m_menu(std::make_unique<QMenu>())
{
    QObject::connect(m_menu.get(), &QMenu::aboutToShow, m_menu.get(), [this] {
        // popupAt rebuilt it already, to know its size; Qt's own openings (the tray's context
        // menu) rebuild here.
        if (!std::exchange(m_rebuiltForOpening, false) && m_handlers.aboutToShow)
            m_handlers.aboutToShow();
        if (m_renderPending)
            render(); // still off screen here
        if (m_handlers.visibility)
            m_handlers.visibility(true);
    });
    QObject::connect(m_menu.get(), &QMenu::aboutToHide, m_menu.get(), [this] {
        if (m_handlers.visibility)
            m_handlers.visibility(false);
        // Later: a chosen item's trigger is still on its way from the actions being replaced.
        if (m_renderPending)
            QTimer::singleShot(0, m_menu.get(), [this] {
                if (m_renderPending && !m_menu->isVisible())
                    render();
            });
    });
}

PopupMenu::~PopupMenu() = default;

void PopupMenu::setMenu(const Menu &menu)
{
    m_model = menu;
    m_renderPending = true;
    if (!m_menu->isVisible())
        render();
}

void PopupMenu::render()
{
    m_renderPending = false;
    m_renderer.render(*m_menu, m_model, [this](const MenuItem &item) {
        if (m_handlers.triggered)
            m_handlers.triggered(item);
    });
}

void PopupMenu::popupAt(QPoint click, std::optional<QRect> panel)
{
    if (m_menu->isVisible())
        return;
    if (m_handlers.aboutToShow)
        m_handlers.aboutToShow();
    if (m_renderPending)
        render();
    m_rebuiltForOpening = true;
    const QScreen *screen = QGuiApplication::screenAt(click);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QPoint position = screen ? MenuPosition(click, panel, m_menu->sizeHint(), screen->geometry()) : click;
    m_menu->popup(position);
    // A popup grabs the keyboard; taking the focus as well keeps arrows and Enter with the menu
    // where the panel's click left a grab of its own.
    m_menu->activateWindow();
    m_rebuiltForOpening = false;
}

} // namespace tickwell
