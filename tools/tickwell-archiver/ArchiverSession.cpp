#include "ArchiverSession.h"

#include "platform/webengine/ArchiverProtocol.h"

#include <QDir>
#include <QSaveFile>

#include <cmath>

namespace tickwell {

namespace {

QString text(const QJsonObject &message, const char *key) { return message.value(QLatin1String(key)).toString(); }

// A page dimension the engine can take: a positive, finite size of at most a million points.
std::optional<double> dimension(const QJsonObject &message, const char *key)
{
    const QJsonValue value = message.value(QLatin1String(key));
    if (!value.isDouble() || !std::isfinite(value.toDouble()) || value.toDouble() <= 0 || value.toDouble() > 1e6)
        return std::nullopt;
    return value.toDouble();
}

} // namespace

ArchiverSession::ArchiverSession(WebEngine &engine, Send send, std::function<void()> quit)
    : m_engine(engine)
    , m_send(std::move(send))
    , m_quit(std::move(quit))
{
    m_engine.setDelegate(this);
}

void ArchiverSession::sayHello()
{
    m_send({{QStringLiteral("event"), QStringLiteral("hello")}, {QStringLiteral("protocol"), archiver::kProtocolVersion}});
}

void ArchiverSession::event(const QString &name, QJsonObject fields)
{
    fields.insert(QStringLiteral("event"), name);
    fields.insert(QStringLiteral("load"), m_load);
    m_send(fields);
}

void ArchiverSession::reply(qint64 id, bool ok, QJsonObject fields)
{
    fields.insert(QStringLiteral("reply"), id);
    fields.insert(QStringLiteral("ok"), ok);
    m_send(fields);
}

void ArchiverSession::writeDocument(qint64 id, const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    const bool written = !bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    reply(id, written);
}

void ArchiverSession::handle(const QJsonObject &request)
{
    const QString op = text(request, "op");
    const qint64 id = request.value(QStringLiteral("id")).toInteger(-1);
    if (op == QLatin1String("load")) {
        const QUrl address(text(request, "url"), QUrl::StrictMode);
        m_load = request.value(QStringLiteral("load")).toInteger(0);
        event(QStringLiteral("loading"));
        if (address.isValid() && !address.isRelative())
            m_engine.load(address);
        else
            webViewProgressFinished(false);
    } else if (op == QLatin1String("stop")) {
        m_engine.stopLoading();
    } else if (op == QLatin1String("resize")) {
        const auto width = dimension(request, "width");
        const auto height = dimension(request, "height");
        if (width && height)
            m_engine.resize(QSize(static_cast<int>(*width), static_cast<int>(*height)));
    } else if (op == QLatin1String("ping")) {
        reply(id, true);
    } else if (op == QLatin1String("documentSize")) {
        m_engine.documentSize([this, id](std::optional<QSizeF> size) {
            if (size)
                reply(id, true, {{QStringLiteral("width"), size->width()}, {QStringLiteral("height"), size->height()}});
            else
                reply(id, false);
        });
    } else if (op == QLatin1String("printToPdf")) {
        const QString path = text(request, "path");
        const auto width = dimension(request, "width");
        const auto height = dimension(request, "height");
        if (!QDir::isAbsolutePath(path) || !width || !height) {
            reply(id, false);
            return;
        }
        m_engine.printToPdf(QSizeF(*width, *height), [this, id, path](const QByteArray &pdf) { writeDocument(id, path, pdf); });
    } else if (op == QLatin1String("archive")) {
        const QString path = text(request, "path");
        if (!QDir::isAbsolutePath(path)) {
            reply(id, false);
            return;
        }
        m_engine.singleFileArchive([this, id, path](const QByteArray &archive) { writeDocument(id, path, archive); });
    } else if (op == QLatin1String("pageText")) {
        m_engine.pageText([this, id](const QString &pageText) {
            reply(id, true, {{QStringLiteral("text"), pageText.left(archiver::kMaxPageTextChars)}});
        });
    } else if (op == QLatin1String("quit")) {
        m_quit();
    } else if (id >= 0) {
        reply(id, false, {{QStringLiteral("error"), QStringLiteral("unknown request")}});
    }
}

void ArchiverSession::webViewDidStartProvisionalLoad() { event(QStringLiteral("loadStarted")); }
void ArchiverSession::webViewDidReceiveTitle(const QString &title) { event(QStringLiteral("title"), {{QStringLiteral("title"), title}}); }
void ArchiverSession::webViewResourceStarted() { event(QStringLiteral("resourceStarted")); }
void ArchiverSession::webViewResourceFinished() { event(QStringLiteral("resourceFinished")); }
void ArchiverSession::webViewResourceFailed() { event(QStringLiteral("resourceFailed")); }
void ArchiverSession::webViewProgressFinished(bool succeeded) { event(QStringLiteral("progressFinished"), {{QStringLiteral("ok"), succeeded}}); }

} // namespace tickwell
