#pragma once

#include "platform/WebEngine.h"

#include <QJsonObject>

#include <functional>

namespace tickwell {

// The helper's side of the conversation: carries out each request on the web engine and sends
// the engine's reports and answers back, each load's reports tagged with the load they belong to.
// Documents go to the path the request names, whole or not at all.
class ArchiverSession final : public WebEngineDelegate {
public:
    using Send = std::function<void(const QJsonObject &)>;

    // Becomes the engine's delegate; the engine is to go first (it may report while it goes).
    ArchiverSession(WebEngine &engine, Send send, std::function<void()> quit);
    ArchiverSession(const ArchiverSession &) = delete;
    ArchiverSession &operator=(const ArchiverSession &) = delete;

    void sayHello();
    void handle(const QJsonObject &request);

    void webViewDidStartProvisionalLoad() override;
    void webViewDidReceiveTitle(const QString &title) override;
    void webViewResourceStarted() override;
    void webViewResourceFinished() override;
    void webViewResourceFailed() override;
    void webViewProgressFinished(bool succeeded) override;

private:
    void event(const QString &name, QJsonObject fields = {});
    void reply(qint64 id, bool ok, QJsonObject fields = {});
    void writeDocument(qint64 id, const QString &path, const QByteArray &bytes);

    WebEngine &m_engine;
    Send m_send;
    std::function<void()> m_quit;
    qint64 m_load = 0;
};

} // namespace tickwell
