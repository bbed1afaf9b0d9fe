#include "support/FakeWebEngine.h"

#include <algorithm>

namespace tickwell {

void FakeWebEngine::later(double seconds, std::function<void()> action, bool partOfLoad)
{
    std::erase_if(m_pending, [](const Pending &pending) { return !pending.timer->isValid(); });
    // Zero-delay timers still wait for the next turn of the loop, as the real engine's answers do.
    m_pending.push_back({m_clock.schedule(std::max(seconds, 0.0), false, std::move(action)), partOfLoad});
}

void FakeWebEngine::cancelLoadEvents()
{
    // Invalidated rather than destroyed: one of them may be the timer now firing.
    for (auto &pending : m_pending)
        if (pending.partOfLoad)
            pending.timer->invalidate();
}

void FakeWebEngine::report(void (WebEngineDelegate::*event)())
{
    if (m_delegate)
        (m_delegate->*event)();
}

void FakeWebEngine::load(const QUrl &address)
{
    cancelLoadEvents();
    m_viewSize = initialViewSize;
    m_address = address.toString();
    m_loads.append(m_address);
    const auto known = m_pages.constFind(m_address);
    m_page = known != m_pages.constEnd() ? *known : FakeWebPage{.fails = true};
    m_loading = true;
    m_started = 0;
    m_reported = 0;
    if (m_loadHook)
        m_loadHook(m_address);

    const FakeWebPage page = m_page;
    later(0, [this, page] {
        report(&WebEngineDelegate::webViewDidStartProvisionalLoad);
        ++m_started;
        report(&WebEngineDelegate::webViewResourceStarted);
        if (m_delegate && !page.title.isEmpty())
            m_delegate->webViewDidReceiveTitle(page.title);
    }, true);
    later(page.loadSeconds / 2, [this, page] {
        for (int i = 0; i < page.resources; ++i) {
            ++m_started;
            report(&WebEngineDelegate::webViewResourceStarted);
        }
    }, true);
    if (!page.finishes)
        return;
    later(page.loadSeconds, [this, page] {
        const int failing = page.fails ? m_started : std::min(page.failingResources, page.resources);
        for (int i = 0; i < m_started; ++i) {
            ++m_reported;
            report(i < m_started - failing ? &WebEngineDelegate::webViewResourceFinished : &WebEngineDelegate::webViewResourceFailed);
        }
        m_loading = false;
        if (m_delegate)
            m_delegate->webViewProgressFinished(!page.fails);
    }, true);
}

void FakeWebEngine::stopLoading()
{
    ++m_stops;
    if (!m_loading)
        return;
    cancelLoadEvents();
    m_loading = false;
    later(0, [this] {
        // What was requested and never answered is cancelled.
        for (; m_reported < m_started; ++m_reported)
            report(&WebEngineDelegate::webViewResourceFailed);
        if (m_delegate)
            m_delegate->webViewProgressFinished(false);
    }, false);
}

void FakeWebEngine::documentSize(std::function<void(std::optional<QSizeF>)> done)
{
    if (m_answersNever)
        return;
    const QSizeF size = m_page.documentSize;
    later(0, [done = std::move(done), size] { done(size); }, false);
}

void FakeWebEngine::printToPdf(const QSizeF &pageSize, std::function<void(QByteArray)> done)
{
    m_pdfPageSizes.push_back(pageSize);
    if (m_answersNever)
        return;
    QByteArray pdf;
    if (!m_printFails)
        pdf = QStringLiteral("%PDF-1.4 fake\n/MediaBox [0 0 %1 %2]\n%3\n%4\n")
                  .arg(pageSize.width()).arg(pageSize.height()).arg(m_address, m_page.text).toUtf8();
    later(0, [done = std::move(done), pdf] { done(pdf); }, false);
}

void FakeWebEngine::singleFileArchive(std::function<void(QByteArray)> done)
{
    if (m_answersNever)
        return;
    QByteArray archive;
    if (!m_archiveFails)
        archive = QStringLiteral("MIME-Version: 1.0\nSnapshot-Content-Location: %1\n\n%2\n").arg(m_address, m_page.text).toUtf8();
    later(0, [done = std::move(done), archive] { done(archive); }, false);
}

void FakeWebEngine::pageText(std::function<void(QString)> done)
{
    if (m_answersNever)
        return;
    later(0, [done = std::move(done), text = m_page.text] { done(text); }, false);
}

} // namespace tickwell
