#include "platform/InstallLayout.h"

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

} // namespace tickwell
