#include "platform/desktop/QtDesktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace tickwell {

void QtDesktop::openUrl(const QString &address)
{
    // Addresses carry symbols as typed; tolerant parsing encodes what a browser would.
    const QUrl url(address, QUrl::TolerantMode);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

bool QtDesktop::openFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

AlertButton QtDesktop::runAlert(const Alert &alert)
{
    QMessageBox box;
    box.setWindowTitle(QStringLiteral(TICKWELL_NAME));
    // Messages carry symbols, titles and paths as typed: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(alert.message);
    box.setInformativeText(alert.informativeText);
    if (auto *informative = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    QPushButton *defaultButton = box.addButton(alert.defaultButton.isEmpty() ? QStringLiteral("OK") : alert.defaultButton, QMessageBox::AcceptRole);
    QPushButton *alternateButton = alert.alternateButton.isEmpty() ? nullptr : box.addButton(alert.alternateButton, QMessageBox::RejectRole);
    QPushButton *otherButton = alert.otherButton.isEmpty() ? nullptr : box.addButton(alert.otherButton, QMessageBox::ActionRole);
    box.setDefaultButton(defaultButton);
    box.raise();
    box.activateWindow();
    box.exec();
    if (alternateButton && box.clickedButton() == alternateButton)
        return AlertButton::Alternate;
    if (otherButton && box.clickedButton() == otherButton)
        return AlertButton::Other;
    return AlertButton::Default;
}

void QtDesktop::showPreferences()
{
    if (m_showPreferences)
        m_showPreferences();
}

void QtDesktop::showImage(const ImageToShow &shown)
{
    // One at a time: the next chart replaces the window rather than piling up windows.
    m_imageWindow = std::make_unique<ImageWindow>(shown.image, shown.title, shown.pageAddress,
        [this, address = shown.pageAddress] { openUrl(address); }, shown.text);
    m_imageWindow->show();
    m_imageWindow->raise();
    m_imageWindow->activateWindow();
}

void QtDesktop::beep()
{
    QApplication::beep();
}

void QtDesktop::systemLog(const QString &line)
{
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
}

void QtDesktop::terminate()
{
    // Leave the current menu click first; the termination sequence runs on aboutToQuit.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
}

} // namespace tickwell
