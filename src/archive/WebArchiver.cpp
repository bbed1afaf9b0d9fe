#include "archive/WebArchiver.h"

#include "archive/ArchiveController.h"
#include "archive/EngineAnswer.h"
#include "platform/UrlLoader.h"

namespace tickwell {

WebArchiver::WebArchiver(ArchiveController &controller)
    : m_controller(controller)
{
    m_controller.addLoadObserver(this);
}

WebArchiver::~WebArchiver()
{
    // The end of the load may never have come (a load that timed out).
    if (m_subscribed)
        m_controller.removeLoadObserver(this);
}

void WebArchiver::webPageFinishedLoading(bool succeeded)
{
    m_controller.removeLoadObserver(this);
    m_subscribed = false;
    finishedLoading = true;
    m_succeeded = succeeded;
}

WebArchiver::Result WebArchiver::archiveFromString(const QString &address, QString &text)
{
    Result result;
    WebEngine *engine = m_controller.webView();
    if (!engine) {
        result.load = PageLoad::NoEngine;
        return result;
    }
    if (!isAcceptableAddress(address))
        return result;

    finishedLoading = false;
    engine->load(QUrl(address));
    EventWait &events = m_controller.events();
    const double answerSeconds = m_controller.timeouts().engineAnswer;
    const bool ended = events.runUntil([this] { return finishedLoading; }, m_controller.timeouts().pageLoad);
    engine->stopLoading();
    if (!ended) {
        // The stopped load reports its last resources; the status line is set after that.
        events.runUntil([this] { return finishedLoading; }, m_controller.timeouts().stopSettle);
        result.load = PageLoad::TimedOut;
        return result;
    }
    result.load = m_succeeded ? PageLoad::Finished : PageLoad::Failed;

    text = AwaitEngineAnswer<QString>(events, answerSeconds, [engine](auto done) { engine->pageText(std::move(done)); }).value_or(QString());
    const std::optional<QByteArray> archive =
        AwaitEngineAnswer<QByteArray>(events, answerSeconds, [engine](auto done) { engine->singleFileArchive(std::move(done)); });
    result.answered = archive.has_value();
    result.archive = archive.value_or(QByteArray());
    return result;
}

} // namespace tickwell
