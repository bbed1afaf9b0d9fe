#include "logging/ConsoleLog.h"

#include "logging/LogFolder.h"

#include <QFileInfo>

namespace tickwell {

void OpenConsoleLog(const CString256 &fileName, Desktop &desktop)
{
    const auto folder = GetOurApplicationSupportFolder();
    if (!folder)
        return;
    const QString name = QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size()));
    const QByteArray nameBytes(fileName.data(), static_cast<qsizetype>(fileName.size()));
    const auto path = LogFilePath(*folder, nameBytes);
    const QString localPath = path ? QFile::decodeName(path->c_str()) : QString();
    if (localPath.isEmpty() || !QFileInfo(localPath).isFile()) {
        Alert alert;
        alert.message = QStringLiteral("There is no log file %1.").arg(name);
        alert.informativeText = QStringLiteral("Turn logging on in Preferences.");
        alert.defaultButton = QStringLiteral("OK");
        alert.otherButton = QStringLiteral("Preferences...");
        if (desktop.runAlert(alert) == AlertButton::Other)
            desktop.showPreferences();
        return;
    }
    if (!desktop.openFile(localPath)) {
        Alert alert;
        alert.message = QStringLiteral("No application could open the log file %1.").arg(name);
        alert.informativeText = localPath;
        alert.defaultButton = QStringLiteral("OK");
        desktop.runAlert(alert);
    }
}

void selItemOpenConsoleLog(const MenuItem &sender, Desktop &desktop)
{
    if (!sender.toolTip || sender.toolTip->isEmpty())
        return;
    const QByteArray name = LogFileName(*sender.toolTip);
    // A name cut to 255 bytes gives a path longer than any log file is written under, so it
    // ends in the alert.
    OpenConsoleLog(CString256(std::string_view(name.constData(), static_cast<std::size_t>(name.size()))), desktop);
}

} // namespace tickwell
