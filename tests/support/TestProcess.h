#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <ctime>

namespace tickwell::testing {

// What every test program does first, whoever runs it and wherever:
// - XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and XDG_DOWNLOAD_DIR point at a temporary
//   folder of this process (removed when it ends), so no test touches the user's own settings,
//   logs or downloads; tests that need their own folders still set them;
// - numbers and dates are those of United States English in New York (LC_ALL, TZ), as the
//   expected texts are written; tests of other locales and zones set theirs;
// - Qt draws offscreen unless a platform was chosen (the GUI tests under Xvfb choose xcb).
inline void PrepareTestProcess()
{
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/tickwell-test-XXXXXX"));
    const std::pair<const char *, const char *> folders[] = {
        {"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", "data"}, {"XDG_CACHE_HOME", "cache"}, {"XDG_DOWNLOAD_DIR", "downloads"}};
    for (const auto &[variable, folder] : folders) {
        if (!home.isValid())
            break;
        const QString path = home.filePath(QLatin1String(folder));
        QDir().mkpath(path);
        qputenv(variable, QFile::encodeName(path));
    }
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("TZ", "America/New_York");
    tzset();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace tickwell::testing
