#include "platform/session/InstallLayout.h"

#include <QDir>
#include <QFileInfo>

namespace tickwell {

QString InstallLayout::programDirectory()
{
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return QFileInfo(self.canonicalFilePath()).absolutePath();
}

QString InstallLayout::tickwellProgram(const QString &programDirectory)
{
    return QDir(programDirectory).filePath(QStringLiteral("tickwell"));
}

std::optional<QString> InstallLayout::documentation(const QString &programDirectory)
{
    const QDir programs(programDirectory);
    for (const char *folder : {TICKWELL_DOC_FROM_PROGRAMS, TICKWELL_BUILD_DOC_FROM_PROGRAMS}) {
        const QString page = QDir::cleanPath(programs.filePath(QString::fromUtf8(folder) + QStringLiteral("/README.html")));
        if (QFileInfo(page).isFile())
            return page;
    }
    return std::nullopt;
}

QString InstallLayout::helperFolder(const QString &programDirectory)
{
    return QDir::cleanPath(QDir(programDirectory).filePath(QStringLiteral(TICKWELL_HELPERS_FROM_PROGRAMS)));
}

std::optional<QString> InstallLayout::helperProgram(const QString &name, const QString &programDirectory)
{
    for (const QString &folder : {programDirectory, helperFolder(programDirectory)}) {
        const QFileInfo helper(QDir(folder).filePath(name));
        if (helper.isFile() && helper.isExecutable())
            return helper.canonicalFilePath();
    }
    return std::nullopt;
}

} // namespace tickwell
