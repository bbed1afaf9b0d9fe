#include "platform/desktop/QtTrayStatusItem.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

namespace tickwell {

QtTrayStatusItem::QtTrayStatusItem()
    : m_menu(std::make_unique<QMenu>())
{
    m_tray.setContextMenu(m_menu.get());
    QObject::connect(m_menu.get(), &QMenu::aboutToShow, m_menu.get(), [this] {
        if (m_handlers.aboutToShow)
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
    // A left click opens the same menu, as a status item does.
    QObject::connect(&m_tray, &QSystemTrayIcon::activated, m_menu.get(), [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_menu->popup(m_tray.geometry().isValid() ? m_tray.geometry().bottomLeft() : QCursor::pos());
    });
}

QtTrayStatusItem::~QtTrayStatusItem()
{
    m_tray.setContextMenu(nullptr);
}

void QtTrayStatusItem::setImage(const QString &name, const QImage &image)
{
    m_imageName = name;
    m_image = image;
    m_tray.setIcon(QIcon(QPixmap::fromImage(image)));
    // Shown with its first image: a tray icon without one is an empty slot in the panel.
    if (!image.isNull() && !m_tray.isVisible())
        m_tray.show();
}

void QtTrayStatusItem::setTitle(const QString &title)
{
    m_title = title;
    m_styled.reset();
    updateToolTip();
}

void QtTrayStatusItem::setStyledTitle(const std::vector<StyledRun> &runs)
{
    m_title = plainText(runs);
    m_styled = runs;
    updateToolTip();
}

void QtTrayStatusItem::setToolTipNote(const QString &note)
{
    StatusItem::setToolTipNote(note);
    updateToolTip();
}

void QtTrayStatusItem::updateToolTip()
{
    const QString title = m_title.isEmpty() ? QStringLiteral(TICKWELL_NAME) : m_title;
    m_tray.setToolTip(toolTipNote().isEmpty() ? title : title + QLatin1Char('\n') + toolTipNote());
}

void QtTrayStatusItem::setMenu(const Menu &menu)
{
    m_model = menu;
    m_renderPending = true;
    if (!m_menu->isVisible())
        render();
}

void QtTrayStatusItem::render()
{
    m_renderPending = false;
    m_renderer.render(*m_menu, m_model, [this](const MenuItem &item) {
        if (m_handlers.triggered)
            m_handlers.triggered(item);
    });
}

void QtTrayStatusItem::setMenuHandlers(MenuHandlers handlers)
{
    m_handlers = std::move(handlers);
}

} // namespace tickwell
