#include "platform/webengine/ProcessWebEngine.h"

#include "platform/session/InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace tickwell {

namespace {

constexpr int kStartMs = 10000;
constexpr int kQuitMs = 1000;

const QString kHelperName = QStringLiteral("tickwell-archiver");

QString lostReason() { return QStringLiteral("the web engine stopped unexpectedly"); }

QString text(const QJsonObject &message, const char *key) { return message.value(QLatin1String(key)).toString(); }

} // namespace

QString ProcessWebEngine::helperPath()
{
    return InstallLayout::helperProgram(kHelperName).value_or(QString());
}

std::unique_ptr<WebEngine> ProcessWebEngine::create()
{
    return std::make_unique<ProcessWebEngine>();
}

ProcessWebEngine::ProcessWebEngine() : ProcessWebEngine(Options{}) {}

ProcessWebEngine::ProcessWebEngine(Options options)
    : m_options(std::move(options))
{
    m_stopWatchdog.setSingleShot(true);
    m_stopWatchdog.setInterval(m_options.stopGrace);
    QObject::connect(&m_stopWatchdog, &QTimer::timeout, &m_context,
                     [this] { abandonHelper(QStringLiteral("the web engine did not answer")); });
}

ProcessWebEngine::~ProcessWebEngine()
{
    if (!m_process)
        return;
    m_process->disconnect();
    if (m_process->state() == QProcess::Running) {
        send({{QStringLiteral("op"), QStringLiteral("quit")}});
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(kQuitMs))
            m_process->kill();
    }
    m_process->waitForFinished(kQuitMs);
}

qint64 ProcessWebEngine::helperProcessId() const
{
    return m_process && m_process->state() != QProcess::NotRunning ? m_process->processId() : 0;
}

void ProcessWebEngine::later(std::function<void()> action)
{
    QTimer::singleShot(0, &m_context, std::move(action));
}

bool ProcessWebEngine::ensureHelper()
{
    if (m_process && m_process->state() == QProcess::Running)
        return true;
    dropHelper();
    const QString program = m_options.program.isEmpty() ? helperPath() : m_options.program;
    if (program.isEmpty()) {
        m_failure = QStringLiteral("%1, the web engine helper, was not found").arg(kHelperName);
        std::fprintf(stderr, "tickwell: %s is neither in %s nor in %s\n", qPrintable(kHelperName),
                     qPrintable(InstallLayout::programDirectory()), qPrintable(InstallLayout::helperFolder()));
        return false;
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(program);
    m_process->setArguments(m_options.arguments);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel); // its complaints go where ours go
    m_reader = {};
    ++m_starts;
    QObject::connect(m_process.get(), &QProcess::readyReadStandardOutput, &m_context, [this] { readHelper(); });
    QObject::connect(m_process.get(), &QProcess::finished, &m_context,
                     [this](int exitCode, QProcess::ExitStatus status) { helperFinished(exitCode, status); });
    m_process->start();
    if (!m_process->waitForStarted(kStartMs)) {
        m_failure = QStringLiteral("the web engine could not be started: %1").arg(m_process->errorString());
        dropHelper();
        return false;
    }
    return true;
}

// Forgets the helper process, killing it if it still runs. Safe inside its own signals.
void ProcessWebEngine::dropHelper()
{
    if (!m_process)
        return;
    QProcess *process = m_process.release();
    process->disconnect();
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(kQuitMs); // SIGKILL: reaped at once
    }
    process->deleteLater();
}

void ProcessWebEngine::send(const QJsonObject &request)
{
    if (m_process)
        m_process->write(archiver::EncodeMessage(request));
}

void ProcessWebEngine::ask(QJsonObject request, ReplyHandler handler)
{
    if (!m_process || m_helperLost) {
        later([handler = std::move(handler)] { handler(std::nullopt); });
        return;
    }
    const qint64 id = ++m_nextId;
    request.insert(QStringLiteral("id"), id);
    m_replies.emplace(id, std::move(handler));
    send(request);
}

void ProcessWebEngine::load(const QUrl &address)
{
    // Answers still owed: a caller gave up waiting for them, so the helper hangs or lags far
    // behind. A new one starts with a clean page.
    if (m_process && !m_replies.empty()) {
        std::map<qint64, ReplyHandler> owed;
        owed.swap(m_replies);
        dropHelper();
        later([owed = std::move(owed)] {
            for (const auto &[id, handler] : owed)
                handler(std::nullopt);
        });
    }
    m_stopWatchdog.stop();
    m_failure.clear();
    m_helperLost = false;
    m_load = ++m_nextId;
    m_loadAddress = address;
    m_loadOpen = true;
    m_loadAcknowledged = false;
    m_loadResent = false;
    m_started = m_ended = 0;
    m_viewSize = initialViewSize;
    const int startsBefore = m_starts;
    if (!ensureHelper()) {
        m_helperLost = true;
        const qint64 load = m_load;
        later([this, load] {
            if (m_load == load && m_loadOpen)
                settleLoad(false);
        });
        return;
    }
    // Only a helper that was already running can have left for idleness as the load came: one
    // started for this load that leaves is broken, and another would fare no better.
    m_loadResent = m_starts != startsBefore;
    send({{QStringLiteral("op"), QStringLiteral("load")}, {QStringLiteral("load"), m_load},
          {QStringLiteral("url"), QString::fromUtf8(address.toEncoded())}});
}

void ProcessWebEngine::stopLoading()
{
    if (!m_process || m_helperLost)
        return;
    send({{QStringLiteral("op"), QStringLiteral("stop")}});
    if (m_stopWatchdog.isActive())
        return;
    // The helper shows it is alive by answering; one that does not is killed when the grace ends.
    m_stopWatchdog.start();
    ask({{QStringLiteral("op"), QStringLiteral("ping")}}, [this](std::optional<QJsonObject> answer) {
        if (answer)
            m_stopWatchdog.stop();
    });
}

void ProcessWebEngine::resize(const QSize &size)
{
    m_viewSize = size;
    if (m_process && !m_helperLost)
        send({{QStringLiteral("op"), QStringLiteral("resize")}, {QStringLiteral("width"), size.width()},
              {QStringLiteral("height"), size.height()}});
}

void ProcessWebEngine::documentSize(std::function<void(std::optional<QSizeF>)> done)
{
    ask({{QStringLiteral("op"), QStringLiteral("documentSize")}}, [done = std::move(done)](std::optional<QJsonObject> answer) {
        const QJsonValue width = answer ? answer->value(QStringLiteral("width")) : QJsonValue();
        const QJsonValue height = answer ? answer->value(QStringLiteral("height")) : QJsonValue();
        if (!answer || !answer->value(QStringLiteral("ok")).toBool() || !width.isDouble() || !height.isDouble())
            done(std::nullopt);
        else
            done(QSizeF(width.toDouble(), height.toDouble()));
    });
}

// The helper writes the document into our private folder; we hand over its bytes and remove it.
void ProcessWebEngine::askForDocument(const QString &op, QJsonObject request, const QString &suffix, std::function<void(QByteArray)> done)
{
    if (!m_files)
        m_files.emplace(QDir::temp().filePath(QStringLiteral("tickwell-XXXXXX")));
    if (!m_files->isValid()) {
        later([done = std::move(done)] { done({}); });
        return;
    }
    const QString path = m_files->filePath(QStringLiteral("document-%1.%2").arg(m_nextId + 1).arg(suffix));
    request.insert(QStringLiteral("op"), op);
    request.insert(QStringLiteral("path"), path);
    ask(std::move(request), [path, done = std::move(done)](std::optional<QJsonObject> answer) {
        QByteArray bytes;
        QFile file(path);
        if (answer && answer->value(QStringLiteral("ok")).toBool() && file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        file.close();
        QFile::remove(path);
        done(bytes);
    });
}

void ProcessWebEngine::printToPdf(const QSizeF &pageSize, std::function<void(QByteArray)> done)
{
    askForDocument(QStringLiteral("printToPdf"),
                   {{QStringLiteral("width"), pageSize.width()}, {QStringLiteral("height"), pageSize.height()}},
                   QStringLiteral("pdf"), std::move(done));
}

void ProcessWebEngine::singleFileArchive(std::function<void(QByteArray)> done)
{
    askForDocument(QStringLiteral("archive"), {}, QStringLiteral("mhtml"), std::move(done));
}

void ProcessWebEngine::pageText(std::function<void(QString)> done)
{
    ask({{QStringLiteral("op"), QStringLiteral("pageText")}}, [done = std::move(done)](std::optional<QJsonObject> answer) {
        done(answer ? text(*answer, "text") : QString());
    });
}

void ProcessWebEngine::readHelper()
{
    QProcess *process = m_process.get();
    if (!process)
        return;
    const std::vector<QByteArray> lines = m_reader.feed(process->readAllStandardOutput());
    if (m_reader.broken()) {
        abandonHelper(QStringLiteral("the web engine sent a message that is far too long"));
        return;
    }
    for (const QByteArray &line : lines) {
        if (m_process.get() != process)
            return; // a message before this one ended the helper
        if (const std::optional<QJsonObject> message = archiver::DecodeMessage(line))
            handle(*message);
        else
            std::fprintf(stderr, "tickwell: ignored a line from %s that is not a message\n", qPrintable(kHelperName));
    }
}

void ProcessWebEngine::handle(const QJsonObject &message)
{
    if (message.contains(QStringLiteral("reply"))) {
        const auto it = m_replies.find(message.value(QStringLiteral("reply")).toInteger(-1));
        if (it == m_replies.end())
            return;
        const ReplyHandler handler = std::move(it->second);
        m_replies.erase(it);
        handler(message);
        return;
    }
    const QString event = text(message, "event");
    if (event == QLatin1String("hello")) {
        const int protocol = message.value(QStringLiteral("protocol")).toInt(-1);
        if (protocol != archiver::kProtocolVersion)
            abandonHelper(QStringLiteral("the web engine helper speaks protocol %1, not %2").arg(protocol).arg(archiver::kProtocolVersion));
        return;
    }
    if (message.value(QStringLiteral("load")).toInteger(-1) == m_load && m_loadOpen)
        handleLoadEvent(event, message);
}

void ProcessWebEngine::handleLoadEvent(const QString &event, const QJsonObject &message)
{
    if (event == QLatin1String("loading")) {
        m_loadAcknowledged = true;
    } else if (event == QLatin1String("loadStarted")) {
        if (m_delegate)
            m_delegate->webViewDidStartProvisionalLoad();
    } else if (event == QLatin1String("title")) {
        if (m_delegate)
            m_delegate->webViewDidReceiveTitle(text(message, "title"));
    } else if (event == QLatin1String("resourceStarted")) {
        ++m_started;
        if (m_delegate)
            m_delegate->webViewResourceStarted();
    } else if (event == QLatin1String("resourceFinished") || event == QLatin1String("resourceFailed")) {
        if (m_ended >= m_started)
            return; // never more ends than starts
        ++m_ended;
        if (m_delegate) {
            if (event == QLatin1String("resourceFinished"))
                m_delegate->webViewResourceFinished();
            else
                m_delegate->webViewResourceFailed();
        }
    } else if (event == QLatin1String("progressFinished")) {
        settleLoad(message.value(QStringLiteral("ok")).toBool());
    }
}

// Ends the current load once: whatever is still open ended with it.
void ProcessWebEngine::settleLoad(bool succeeded)
{
    m_loadOpen = false;
    for (; m_ended < m_started; ++m_ended)
        if (m_delegate)
            succeeded ? m_delegate->webViewResourceFinished() : m_delegate->webViewResourceFailed();
    if (m_delegate)
        m_delegate->webViewProgressFinished(succeeded);
}

void ProcessWebEngine::helperFinished(int exitCode, QProcess::ExitStatus status)
{
    const bool clean = status == QProcess::NormalExit && exitCode == 0;
    if (clean && m_replies.empty()) {
        if (!m_loadOpen) {
            dropHelper(); // left because it was idle; the next load starts another
            return;
        }
        if (!m_loadAcknowledged && !m_loadResent) {
            // It left for idleness just as the load was sent: the load goes to a new one.
            dropHelper();
            m_loadResent = true;
            if (ensureHelper()) {
                send({{QStringLiteral("op"), QStringLiteral("load")}, {QStringLiteral("load"), m_load},
                      {QStringLiteral("url"), QString::fromUtf8(m_loadAddress.toEncoded())}});
                return;
            }
            abandonHelper(m_failure);
            return;
        }
    }
    abandonHelper(lostReason());
}

// The helper is gone or no use: it is killed, the load in progress fails and every answer it owed
// comes back empty. Called from the event loop only (delegate calls follow).
void ProcessWebEngine::abandonHelper(const QString &reason)
{
    std::fprintf(stderr, "tickwell: %s: %s\n", qPrintable(kHelperName), qPrintable(reason));
    dropHelper();
    m_stopWatchdog.stop();
    m_failure = reason;
    m_helperLost = true;
    std::map<qint64, ReplyHandler> owed;
    owed.swap(m_replies);
    if (m_loadOpen)
        settleLoad(false);
    for (const auto &[id, handler] : owed)
        handler(std::nullopt);
}

} // namespace tickwell
