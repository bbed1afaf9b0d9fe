#pragma once

#include "platform/settings/PlistSettingsStore.h"
#include "support/FeedProcess.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace tickwell::testing {

// Every classic page's host at the given "127.0.0.1:PORT". A host key left unset means that part
// is read from today's live services, so a test of the classic pages sets them all, here.
inline void pointHostsAt(SettingsStore &store, const QString &host)
{
    for (const char *key : {"QuotePageHost", "ChartImageHost", "LogoHost", "MetalsHost", "MarketsHost", "OtherIndicesHost", "OrderBookHost"})
        store.setValue(QLatin1String(key), host);
}

// The real programs in a home of their own: config, data and download folders in a temporary
// folder, a fixed locale and time zone, no display.
class ToolHome {
public:
    struct Result {
        int exitCode = -1; // -1: crashed or did not finish
        QByteArray out, err;
        QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
        QString text() const { return QString::fromUtf8(out); }
    };

    // Console logging is off unless a test turns it on.
    ToolHome()
    {
        for (const char *folder : {"config", "data", "downloads"})
            QDir(home.path()).mkpath(QLatin1String(folder));
        settings().setValue(QStringLiteral("LogToConsole"), false);
    }

    QString path(const QString &relative) const { return home.filePath(relative); }
    QString downloads() const { return path(QStringLiteral("downloads")); }
    // The settings as the programs will read them.
    PlistSettingsStore settings() const { return PlistSettingsStore(path(QStringLiteral("config/com.brantlow.Tickwell.plist"))); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const std::pair<const char *, QString> variables[] = {{"XDG_CONFIG_HOME", path(QStringLiteral("config"))},
            {"XDG_DATA_HOME", path(QStringLiteral("data"))}, {"XDG_DOWNLOAD_DIR", downloads()}, {"LC_ALL", QStringLiteral("en_US.UTF-8")},
            {"TZ", QStringLiteral("America/New_York")}, {"QT_QPA_PLATFORM", QStringLiteral("offscreen")}};
        for (const auto &[name, value] : variables)
            environment.insert(QLatin1String(name), value);
        return environment;
    }

    // One of the programs in build/bin (TICKWELL_BIN_DIR), to its end.
    Result run(const QString &program, const QStringList &arguments, int timeoutMs = 100000) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(ToolDir() + u'/' + program, arguments);
        Result result;
        if (process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit)
            result.exitCode = process.exitCode(); // one still running is killed on the way out
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }
    Result runMenu(const QStringList &arguments) const { return run(QStringLiteral("tickwell-menu"), arguments); }

    QTemporaryDir home; // holds config/, data/ and downloads/
};

} // namespace tickwell::testing
