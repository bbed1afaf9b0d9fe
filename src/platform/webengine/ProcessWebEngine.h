#pragma once

#include "platform/webengine/ArchiverProtocol.h"
#include "platform/WebEngine.h"

#include <QJsonObject>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <map>
#include <memory>

namespace tickwell {

// The web engine in a process of its own: tickwell-archiver owns Qt WebEngine, and this object
// speaks to it over its standard input and output (platform/ArchiverProtocol.h). The tray process
// thus never loads the browser engine or a GL stack, and a crash in the engine costs one document.
//
// The helper is started by the first load and again by the first load after it ended: it leaves
// by itself when idle, and a helper that crashed, broke the protocol or stopped answering is
// killed and replaced. What it owed then ends at once as failed: the page load reports its end
// (failureReason() says why) and every answer still awaited comes back empty.
//
// Hangs are noticed within the callers' own bounds: a load while answers are still owed (a caller
// gave up waiting for them) restarts the helper first, and after a stop the helper has stopGrace
// to show it is alive, or it is killed; so Stop ends a batch promptly even when the helper hangs.
class ProcessWebEngine final : public WebEngine {
public:
    struct Options {
        QString program; // empty: helperPath()
        QStringList arguments;
        std::chrono::milliseconds stopGrace{3000};
    };

    // The helper beside the running program (build tree) or in the installed helper folder
    // (InstallLayout::helperProgram). Empty when it is in neither.
    static QString helperPath();
    static std::unique_ptr<WebEngine> create();

    ProcessWebEngine();
    explicit ProcessWebEngine(Options options);
    ~ProcessWebEngine() override;
    ProcessWebEngine(const ProcessWebEngine &) = delete;
    ProcessWebEngine &operator=(const ProcessWebEngine &) = delete;

    void setDelegate(WebEngineDelegate *delegate) override { m_delegate = delegate; }
    void load(const QUrl &address) override;
    void stopLoading() override;
    void resize(const QSize &size) override;
    QSize viewSize() const override { return m_viewSize; }
    void documentSize(std::function<void(std::optional<QSizeF>)> done) override;
    void printToPdf(const QSizeF &pageSize, std::function<void(QByteArray)> done) override;
    void singleFileArchive(std::function<void(QByteArray)> done) override;
    void pageText(std::function<void(QString)> done) override;
    QString failureReason() const override { return m_failure; }

    // The running helper's process id, 0 when none runs; how many helpers were started so far.
    qint64 helperProcessId() const;
    int helperStarts() const { return m_starts; }

private:
    // Called with the reply, or with nothing when the helper was lost before it replied.
    using ReplyHandler = std::function<void(std::optional<QJsonObject>)>;

    bool ensureHelper();
    void send(const QJsonObject &request);
    void ask(QJsonObject request, ReplyHandler handler);
    void askForDocument(const QString &op, QJsonObject request, const QString &suffix, std::function<void(QByteArray)> done);
    void readHelper();
    void handle(const QJsonObject &message);
    void handleLoadEvent(const QString &event, const QJsonObject &message);
    void helperFinished(int exitCode, QProcess::ExitStatus status);
    void dropHelper();
    void abandonHelper(const QString &reason);
    void settleLoad(bool succeeded);
    void later(std::function<void()> action);

    Options m_options;
    WebEngineDelegate *m_delegate = nullptr;
    QObject m_context; // queued calls die with the engine
    std::unique_ptr<QProcess> m_process;
    archiver::LineReader m_reader;
    int m_starts = 0;
    QTimer m_stopWatchdog;
    std::optional<QTemporaryDir> m_files;
    qint64 m_nextId = 0;
    std::map<qint64, ReplyHandler> m_replies;
    QString m_failure;
    bool m_helperLost = false; // since the last load: the page is gone with the helper

    qint64 m_load = 0;
    QUrl m_loadAddress;
    bool m_loadOpen = false;
    bool m_loadAcknowledged = false;
    bool m_loadResent = false; // sent to a second helper, or to one started for it: not sent again
    int m_started = 0;
    int m_ended = 0;
    QSize m_viewSize = initialViewSize;
};

} // namespace tickwell
