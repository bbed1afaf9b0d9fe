#pragma once

#include "support/FakeUrlLoader.h"
#include "platform/headless/LocalNotificationCenter.h"
#include "support/MemorySettingsStore.h"
#include "platform/headless/ScriptedDesktop.h"
#include "prefs/PreferencesWindow.h"
#include "prefs/TickwellPref.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace tickwell::testing {

// The window on in-memory settings, with a download folder of its own.
class PrefFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        downloads = m_home.filePath(QStringLiteral("Downloads"));
        QDir().mkpath(downloads);
        qputenv("XDG_DOWNLOAD_DIR", downloads.toLocal8Bit());
    }

    TickwellPref &pref()
    {
        if (!m_pref)
            m_pref = std::make_unique<TickwellPref>(PrefServices{settings, notifications, loader, desktop});
        return *m_pref;
    }
    PreferencesWindow &window() { return *pref().window(); }
    void reopen()
    {
        m_pref.reset();
        pref();
    }

    // Types into a field as the user would and ends the editing with Return.
    void typeInto(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        field->insert(text); // typing goes through the same path; insert takes any character
        QTest::keyClick(field, Qt::Key_Return);
    }

    MemorySettingsStore settings{ClassicHostSettings()};
    LocalNotificationCenter notifications;
    FakeUrlLoader loader;
    ScriptedDesktop desktop;
    QString downloads;

private:
    QTemporaryDir m_home;
    std::unique_ptr<TickwellPref> m_pref;
};

} // namespace tickwell::testing
