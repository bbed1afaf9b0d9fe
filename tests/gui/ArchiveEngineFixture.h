#pragma once

// Headline saving against a web engine in a process of its own (tickwell-archiver by default),
// with the real event loop, a real HTTP server on loopback and a download folder of the test's own.
#include "app/ControllerState.h"
#include "app/Preferences.h"
#include "archive/ArchiveController.h"
#include "archive/ImageURL.h"
#include "archive/RecordingProgressWindow.h"
#include "platform/net/CurlUrlLoader.h"
#include "platform/webengine/ProcessWebEngine.h"
#include "platform/session/QtTimerFactory.h"
#include "support/FakePlatform.h"
#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace tickwell::testing {

class ArchiveEngineFixture : public ::testing::Test, protected FakePlatform {
protected:
    // The real loader and Qt's timers: the helper process runs in real time.
    Platform &realPlatform()
    {
        loaderInUse = &realLoader;
        timersInUse = &realTimers;
        return platform();
    }
    ArchiveEngineFixture()
    {
        qputenv("XDG_DOWNLOAD_DIR", downloads.path().toLocal8Bit());
        statusItem.setTitle(QStringLiteral("AAPL 190.5"));
    }
    ~ArchiveEngineFixture() override { m_controller.reset(); }

    // Skips the test unless the helper is there and its engine loads a page here (as root
    // Chromium needs its sandbox off, which the helper does).
    void requireWorkingEngine()
    {
        if (ProcessWebEngine::helperPath().isEmpty())
            GTEST_SKIP() << "tickwell-archiver was not built (no Qt WebEngine)";
        ImageURL watcher(controller());
        ASSERT_NE(controller().webView(), nullptr);
        controller().webView()->load(QUrl(QStringLiteral("data:text/html,<title>probe</title>")));
        if (!controller().events().runUntil([&] { return watcher.loaded(); }, 40) || !watcher.succeeded())
            GTEST_SKIP() << "the web engine did not start";
    }

    // The engine the controller gets; the helper found beside the test program by default.
    virtual std::unique_ptr<WebEngine> makeEngine() { return ProcessWebEngine::create(); }

    ArchiveController &controller()
    {
        if (!m_controller) {
            ArchiveServices services;
            services.makeWebEngine = [this] { return makeEngine(); };
            services.makeProgressWindow = [this]() -> std::unique_ptr<ProgressWindow> {
                auto window = std::make_unique<RecordingProgressWindow>();
                m_window = window.get();
                return window;
            };
            m_controller = std::make_unique<ArchiveController>(realPlatform(), state, prefs, std::move(services));
            m_controller->setTimeouts({.pageLoad = 30, .engineAnswer = 20, .stopSettle = 3});
        }
        return *m_controller;
    }
    RecordingProgressWindow &window()
    {
        controller().printWindow();
        return *m_window;
    }
    ProcessWebEngine &engine() { return dynamic_cast<ProcessWebEngine &>(*controller().webView()); }

    // Every entry of the download folder, hidden ones (a temporary file left behind) included.
    QStringList savedFiles() const { return QDir(downloads.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QByteArray savedBytes(const QString &name) const
    {
        QFile file(downloads.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Headlines of one symbol whose pages each keep loading about 1.5 seconds (a slow picture).
    void listSlowHeadlines(const QString &symbol, int count)
    {
        test::LocalHttpServer::Response picture;
        picture.contentType = "image/png";
        picture.latency = std::chrono::milliseconds(1500);
        server.setResponse(QStringLiteral("/slow/pic.png"), picture);
        for (int n = 1; n <= count; ++n) {
            const QString target = QStringLiteral("/slow/%1.html").arg(n);
            server.serve(target, QStringLiteral("<html><head><title>Slow %1</title></head><body>Slow article %1"
                                                "<img src=\"/slow/pic.png\"></body></html>").arg(n).toUtf8());
            state.m_headlines[symbol].append({server.url(target), QStringLiteral("slow %1").arg(n), std::nullopt});
        }
    }

    test::LocalHttpServer server;
    QTemporaryDir downloads;
    CurlUrlLoader realLoader;
    QtTimerFactory realTimers;
    ControllerState state;
    Preferences prefs{settings};

private:
    RecordingProgressWindow *m_window = nullptr;
    std::unique_ptr<ArchiveController> m_controller;
};

} // namespace tickwell::testing
