#pragma once

#include "platform/PlistSettingsStore.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace tickwell::testing {

// Runs the headless tool tickwell-menu in a home of its own: a settings file and a per-user data
// folder in temporary folders, the test's locale and time zone.
class TickwellMenuRun {
public:
    struct Result {
        int exitCode = -1;
        QByteArray out, err;
        QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
    };

    static QString program()
    {
        const QString dir = qEnvironmentVariable("TICKWELL_BIN_DIR");
        const QString path = dir + QStringLiteral("/tickwell-menu");
        return !dir.isEmpty() && QFileInfo(path).isExecutable() ? path : QString();
    }

    // The settings as the tool will read them.
    PlistSettingsStore settings() const { return PlistSettingsStore(m_config.path() + QStringLiteral("/com.brantlow.Tickwell.plist")); }

    Result run(const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const std::pair<const char *, QString> variables[] = {{"XDG_CONFIG_HOME", m_config.path()}, {"XDG_DATA_HOME", m_data.path()},
            {"LC_ALL", QStringLiteral("en_US.UTF-8")}, {"TZ", QStringLiteral("America/New_York")}, {"QT_QPA_PLATFORM", QStringLiteral("offscreen")}};
        for (const auto &[name, value] : variables)
            environment.insert(QLatin1String(name), value);
        process.setProcessEnvironment(environment);
        process.start(program(), arguments);
        Result result;
        if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
            result.exitCode = process.exitCode(); // one still running is killed on the way out
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

private:
    QTemporaryDir m_config;
    QTemporaryDir m_data;
};

} // namespace tickwell::testing
