#include "support/TestProcess.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <ctime>

namespace tickwell::testing {

namespace {

void isolateUserFolders()
{
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/tickwell-test-XXXXXX"));
    if (!home.isValid())
        return;
    const struct {
        const char *variable;
        const char *folder;
    } folders[] = {{"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", "data"}, {"XDG_CACHE_HOME", "cache"}, {"XDG_DOWNLOAD_DIR", "downloads"}};
    for (const auto &entry : folders) {
        const QString path = home.filePath(QString::fromLatin1(entry.folder));
        QDir().mkpath(path);
        qputenv(entry.variable, QFile::encodeName(path));
    }
}

} // namespace

void PrepareTestProcess()
{
    isolateUserFolders();
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("TZ", "America/New_York");
    tzset();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace tickwell::testing
