#pragma once

#include "support/ManualEventWait.h"

#include "archive/ArchiveController.h"
#include "archive/RecordingProgressWindow.h"
#include "platform/session/FileComment.h"
#include "support/FakePlatform.h"
#include "support/FakeWebEngine.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace tickwell::testing {

// The archiving subsystem on fakes: a web engine and an event loop on a manual clock, a window
// that records its lines, a download folder of the test's own.
class ArchiveFixture : public ::testing::Test, protected FakePlatform {
protected:
    ArchiveFixture()
    {
        qputenv("XDG_DOWNLOAD_DIR", downloadsPath().toLocal8Bit());
        QDir().mkpath(downloadsPath());
        statusItem.setTitle(QStringLiteral("AAPL 190.5"));
        statusItem.setImage(QStringLiteral("menuitem_up_g.tif"), QImage());
    }

    QString downloadsPath() const { return m_home.filePath(QStringLiteral("Downloads")); }
    QString homePath() const { return m_home.path(); }

    ArchiveServices services()
    {
        ArchiveServices made;
        made.makeWebEngine = [this]() -> std::unique_ptr<WebEngine> { return std::move(m_engine); };
        made.makeProgressWindow = [this]() -> std::unique_ptr<ProgressWindow> { return std::move(m_window); };
        made.makeEventWait = [this]() -> std::unique_ptr<EventWait> { return std::move(m_events); };
        return made;
    }
    ArchiveController &controller()
    {
        if (!m_controller)
            m_controller = std::make_unique<ArchiveController>(platform(), state, prefs, services());
        return *m_controller;
    }

    // An address of this test's own: the title cache lives as long as the process.
    QString article(int number) const
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        return QStringLiteral("http://news.test/%1/%2/%3.html").arg(QString::fromLatin1(info->test_suite_name()), QString::fromLatin1(info->name())).arg(number);
    }
    // Serves the article's page (with that title, when given) and tells the engine about it.
    QString addArticle(int number, const QString &title, FakeWebPage page = {})
    {
        const QString address = article(number);
        loader.serve(address, title.isNull() ? QByteArray("<p>untitled") : QStringLiteral("<title>%1</title>").arg(title).toUtf8());
        page.text = QStringLiteral("Article %1 text").arg(number);
        page.title = title;
        engine.addPage(address, page);
        return address;
    }

    // Lists `count` headlines for the symbol, articles numbered from `first`.
    void listHeadlines(const QString &symbol, int first, int count, FakeWebPage page = {})
    {
        for (int n = first; n < first + count; ++n) {
            const QString title = QStringLiteral("%1 story %2").arg(symbol, QString::number(n));
            state.m_headlines[symbol].append({addArticle(n, title, page), title, std::nullopt});
        }
    }

    QStringList savedFiles() const { return QDir(downloadsPath()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name); }
    QByteArray savedBytes(const QString &name) const
    {
        QFile file(QDir(downloadsPath()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Runs the action once the manual clock has moved on by that much.
    void after(double seconds, std::function<void()> action) { m_testTimers.push_back(timers.schedule(seconds, false, std::move(action))); }
    // Runs the clock until the running batch (and whatever waits behind it) has ended.
    void runUntilIdle()
    {
        for (double waited = 0; waited < 600 && controller().isBusy(); waited += 0.1)
            timers.advance(0.1);
    }

    ControllerState state;
    Preferences prefs{settings};

private:
    QTemporaryDir m_home;
    std::unique_ptr<FakeWebEngine> m_engine = std::make_unique<FakeWebEngine>(timers);
    std::unique_ptr<RecordingProgressWindow> m_window = std::make_unique<RecordingProgressWindow>();
    std::unique_ptr<ManualEventWait> m_events = std::make_unique<ManualEventWait>(timers);

protected:
    // Owned by the controller once it has asked for them; these stay valid as long as it lives.
    FakeWebEngine &engine = *m_engine;
    RecordingProgressWindow &window = *m_window;
    ManualEventWait &events = *m_events;

private:
    std::unique_ptr<ArchiveController> m_controller;
    std::vector<std::unique_ptr<Timer>> m_testTimers;
};

} // namespace tickwell::testing
