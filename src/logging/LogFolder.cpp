#include "logging/LogFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace tickwell {

std::optional<QString> GetOurApplicationSupportFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return std::nullopt;
    const QString folder = base + QStringLiteral("/Brantlow Software/Tickwell");
    if (!QDir().mkpath(folder))
        return std::nullopt;
    return folder;
}

QByteArray LogFileName(const QString &symbol)
{
    QByteArray name = "Tickwell_";
    for (const char byte : symbol.toUtf8()) {
        switch (byte) {
        case '/':
            name += "%2F";
            break;
        case '%':
            name += "%25";
            break;
        case '\0':
            name += "%00";
            break;
        default:
            name += byte;
        }
    }
    return name + ".log";
}

std::optional<CString256> LogFilePath(const QString &folder, const QByteArray &fileName)
{
    const QByteArray path = QFile::encodeName(folder) + '/' + fileName;
    if (path.size() > qsizetype(CString256::kCapacity))
        return std::nullopt;
    return CString256(std::string_view(path.constData(), static_cast<std::size_t>(path.size())));
}

} // namespace tickwell
