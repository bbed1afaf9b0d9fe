#pragma once

#include "app/ControllerState.h"
#include "app/Preferences.h"
#include "archive/ArchiveController.h"
#include "archive/ImageURL.h"
#include "archive/ProgressWindowView.h"
#include "archive/QtEventWait.h"
#include "archive/RecordingProgressWindow.h"
#include "platform/CurlUrlLoader.h"
#include "platform/HeadlessStatusItem.h"
#include "platform/LocalNotificationCenter.h"
#include "platform/ManualWakeMonitor.h"
#include "platform/MemorySettingsStore.h"
#include "platform/QtTimerFactory.h"
#include "platform/ScriptedDesktop.h"
#include "platform/desktop/QtWebEngine.h"

#include <gtest/gtest.h>

#include <array>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace tickwell::testing {

// tickwell-feed on a free loopback port, for the whole test program.
class ArchiveFeed {
public:
    static ArchiveFeed &shared()
    {
        static ArchiveFeed feed;
        return feed;
    }
    ~ArchiveFeed()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // "http://127.0.0.1:PORT" + path; the feed is empty when it could not be started.
    QString url(const QString &path) const { return QStringLiteral("http://") + m_host + path; }
    bool isRunning() const { return !m_host.isEmpty(); }

private:
    ArchiveFeed()
    {
        const QString program = qEnvironmentVariable("TICKWELL_BIN_DIR", QStringLiteral("build/bin")) + QStringLiteral("/tickwell-feed");
        if (!QFile::exists(program))
            return;
        m_process.setProgram(program);
        m_process.setArguments({QStringLiteral("--port"), QStringLiteral("0")});
        m_process.start();
        if (!m_process.waitForStarted(10000))
            return;
        QByteArray out;
        while (!out.contains('\n') && m_process.waitForReadyRead(10000))
            out += m_process.readAllStandardOutput();
        const auto match = QRegularExpression(QStringLiteral("^listening on (127\\.0\\.0\\.1:\\d+)")).match(QString::fromUtf8(out));
        if (match.hasMatch())
            m_host = match.captured(1);
    }

    QProcess m_process;
    QString m_host;
};

// Headline saving with the real web engine, offscreen, each wait bounded well inside the test's
// own time limit. Skipped where the engine cannot start.
class ArchiveWebEngineFixture : public ::testing::Test {
protected:
    ArchiveWebEngineFixture()
    {
        qputenv("XDG_DOWNLOAD_DIR", downloadsPath().toLocal8Bit());
        QDir().mkpath(downloadsPath());
        statusItem.setTitle(QStringLiteral("AAPL 190.5"));
    }
    ~ArchiveWebEngineFixture() override { m_controller.reset(); }

    void SetUp() override
    {
        if (!QtWebEngine::create())
            GTEST_SKIP() << "built without Qt WebEngine";
        // A first load proves that Chromium starts here (as root it needs its sandbox off).
        ImageURL watcher(controller());
        WebEngine *engine = controller().webView();
        ASSERT_NE(engine, nullptr);
        engine->load(QUrl(QStringLiteral("data:text/html,<title>probe</title>")));
        if (!controller().events().runUntil([&] { return watcher.loaded(); }, 40))
            GTEST_SKIP() << "the web engine did not start";
    }

    // The real view when a test clicks it; else a window that keeps every line.
    virtual bool useRealWindow() const { return false; }

    ArchiveController &controller()
    {
        if (!m_controller) {
            ArchiveServices services;
            services.makeWebEngine = &QtWebEngine::create;
            if (useRealWindow())
                services.makeProgressWindow = [] { return std::make_unique<ProgressWindowView>(); };
            else
                services.makeProgressWindow = [this] {
                    auto window = std::make_unique<RecordingProgressWindow>();
                    m_window = window.get();
                    return window;
                };
            m_controller = std::make_unique<ArchiveController>(platform, state, prefs, std::move(services));
            m_controller->setTimeouts({.pageLoad = 30, .engineAnswer = 20, .stopSettle = 3});
        }
        return *m_controller;
    }
    RecordingProgressWindow &window()
    {
        controller().printWindow();
        return *m_window;
    }

    QString downloadsPath() const { return m_home.filePath(QStringLiteral("Downloads")); }
    QString downloaded(const QString &name) const { return QDir(downloadsPath()).filePath(name); }
    QStringList savedFiles() const { return QDir(downloadsPath()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QByteArray savedBytes(const QString &name) const
    {
        QFile file(downloaded(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Runs the event loop until the controller has nothing to do (bounded).
    bool runUntilIdle(double seconds = 90)
    {
        return QtEventWait().runUntil([this] { return !controller().isBusy(); }, seconds);
    }

    // The last resource line: completed, requested, failed.
    std::optional<std::array<int, 3>> lastResourceCounts()
    {
        static const QRegularExpression line(QStringLiteral(R"(: Loaded (\d+) of (\d+) resources, (\d+) resource errors\.$)"));
        const QStringList &statuses = window().statuses();
        for (auto it = statuses.crbegin(); it != statuses.crend(); ++it)
            if (const auto match = line.match(*it); match.hasMatch())
                return std::array<int, 3>{match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()};
        return std::nullopt;
    }

    MemorySettingsStore settings;
    CurlUrlLoader loader;
    HeadlessStatusItem statusItem;
    QtTimerFactory timers;
    ScriptedDesktop desktop;
    LocalNotificationCenter notifications;
    ManualWakeMonitor wake;
    Platform platform{settings, loader, statusItem, timers, desktop, notifications, wake};
    ControllerState state;
    Preferences prefs{settings};

private:
    QTemporaryDir m_home;
    RecordingProgressWindow *m_window = nullptr;
    std::unique_ptr<ArchiveController> m_controller;
};

// The body of a single-file (MHTML) archive with its quoted-printable parts decoded.
inline QByteArray DecodedArchive(const QByteArray &archive)
{
    QByteArray text = archive;
    text.replace("=\r\n", "").replace("=\n", "");
    QByteArray decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool ok = false;
        if (text[i] == '=' && i + 2 < text.size()) {
            const int value = text.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                decoded += static_cast<char>(value);
                i += 2;
                continue;
            }
        }
        decoded += text[i];
    }
    return decoded;
}

// The page boxes of a PDF, [width, height] in points, in file order.
inline std::vector<QSizeF> PdfPageSizes(const QByteArray &pdf)
{
    static const QRegularExpression box(QStringLiteral(R"(/MediaBox\s*\[\s*([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s*\])"));
    std::vector<QSizeF> sizes;
    for (auto it = box.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) {
        const auto match = it.next();
        sizes.emplace_back(match.captured(3).toDouble() - match.captured(1).toDouble(),
                           match.captured(4).toDouble() - match.captured(2).toDouble());
    }
    return sizes;
}

} // namespace tickwell::testing
