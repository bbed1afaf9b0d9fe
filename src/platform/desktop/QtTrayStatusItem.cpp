#include "platform/desktop/QtTrayStatusItem.h"

#include <QApplication>
#include <QCursor>
#include <QPixmap>

namespace tickwell {

QtTrayStatusItem::QtTrayStatusItem()
{
    m_tray.setContextMenu(&m_menu.qmenu());
    // A left click opens the same menu, as a status item does, beside the icon.
    QObject::connect(&m_tray, &QSystemTrayIcon::activated, &m_menu.qmenu(), [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger)
            return;
        const QRect icon = m_tray.geometry();
        m_menu.popupAt(icon.isValid() ? icon.center() : QCursor::pos(), icon.isValid() ? std::optional(icon) : std::nullopt);
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

} // namespace tickwell
