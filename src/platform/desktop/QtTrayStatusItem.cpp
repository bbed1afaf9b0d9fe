#include "platform/desktop/QtTrayStatusItem.h"

#include <QApplication>
#include <QPixmap>

namespace tickwell {

QtTrayStatusItem::QtTrayStatusItem()
    : m_menu(std::make_unique<QMenu>())
{
    m_tray.setContextMenu(m_menu.get());
    QObject::connect(m_menu.get(), &QMenu::aboutToShow, m_menu.get(), [this] {
        if (m_aboutToShow)
            m_aboutToShow();
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
    m_renderer.render(*m_menu, m_model, [this](const MenuItem &item) {
        if (m_triggered)
            m_triggered(item);
    });
}

void QtTrayStatusItem::setMenuHandlers(std::function<void()> aboutToShow, std::function<void(const MenuItem &)> triggered)
{
    m_aboutToShow = std::move(aboutToShow);
    m_triggered = std::move(triggered);
}

} // namespace tickwell
