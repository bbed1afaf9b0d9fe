#pragma once

#include "platform/PlistSettingsStore.h"

#include <gtest/gtest.h>

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
        QByteArray out;
        QByteArray err;
        // The JSON document at the start of the output; lines printed by --select follow it.
        QJsonObject json() const
        {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(out, &error);
            if (error.error == QJsonParseError::GarbageAtEnd)
                return QJsonDocument::fromJson(out.left(error.offset)).object();
            return document.object();
        }
    };

    static QString program()
    {
        const QString dir = qEnvironmentVariable("TICKWELL_BIN_DIR");
        const QString path = dir + QStringLiteral("/tickwell-menu");
        return !dir.isEmpty() && QFileInfo(path).isExecutable() ? path : QString();
    }

    QString settingsPath() const { return m_config.path() + QStringLiteral("/com.brantlow.Tickwell.plist"); }
    QString dataHome() const { return m_data.path(); }
    QString logFolder() const { return m_data.path() + QStringLiteral("/Brantlow Software/Tickwell"); }

    // The settings as the tool will read them.
    PlistSettingsStore settings() const { return PlistSettingsStore(settingsPath()); }

    Result run(const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_data.path());
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
        environment.insert(QStringLiteral("TZ"), QStringLiteral("America/New_York"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(program(), arguments);
        Result result;
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    // The submenu item titles of the first top-level line whose title holds the text.
    static QStringList submenuTitles(const QJsonObject &root, const QString &lineText)
    {
        for (const auto &value : root.value(QStringLiteral("menu")).toArray()) {
            const QJsonObject item = value.toObject();
            if (!item.value(QStringLiteral("title")).toString().contains(lineText))
                continue;
            QStringList titles;
            for (const auto &sub : item.value(QStringLiteral("submenu")).toArray()) {
                const QJsonObject subItem = sub.toObject();
                titles.append(subItem.value(QStringLiteral("separator")).toBool() ? QStringLiteral("---")
                                                                                   : subItem.value(QStringLiteral("title")).toString());
            }
            return titles;
        }
        return {};
    }
    static QString lineTitle(const QJsonObject &root, const QString &lineText)
    {
        for (const auto &value : root.value(QStringLiteral("menu")).toArray()) {
            const QString title = value.toObject().value(QStringLiteral("title")).toString();
            if (title.contains(lineText))
                return title;
        }
        return {};
    }

private:
    QTemporaryDir m_config;
    QTemporaryDir m_data;
};

} // namespace tickwell::testing
