#include "support/FakeWebEngine.h"

namespace tickwell {

void FakeWebEngine::later(double seconds, std::function<void()> action, bool partOfLoad)
{
    std::erase_if(m_pending, [](const Pending &pending) { return !pending.timer->isValid(); });
    // Zero-delay timers still wait for the next turn of the loop, as the real engine's answers do.
    m_pending.push_back({m_clock.schedule(seconds, false, std::move(action)), partOfLoad});
}

void FakeWebEngine::report(void (WebEngineDelegate::*event)())
{
    if (m_delegate)
        (m_delegate->*event)();
}

void FakeWebEngine::load(const QUrl &address)
{
    // Invalidated rather than destroyed: one of them may be the timer now firing.
    for (auto &pending : m_pending)
        if (pending.partOfLoad)
            pending.timer->invalidate();
    m_viewSize = initialViewSize;
    m_address = address.toString();
    m_loads.append(m_address);
    m_page = m_pages.value(m_address, FakeWebPage{.fails = true});
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
    if (page.finishes)
        later(page.loadSeconds, [this, page] {
            for (; m_reported < m_started; ++m_reported)
                report(page.fails ? &WebEngineDelegate::webViewResourceFailed : &WebEngineDelegate::webViewResourceFinished);
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
    for (auto &pending : m_pending)
        if (pending.partOfLoad)
            pending.timer->invalidate();
    m_loading = false;
    later(0, [this] {
        // What was requested and never answered is cancelled.
        for (; m_reported < m_started; ++m_reported)
            report(&WebEngineDelegate::webViewResourceFailed);
        if (m_delegate)
            m_delegate->webViewProgressFinished(false);
    }, false);
}

void FakeWebEngine::printToPdf(const QSizeF &pageSize, std::function<void(QByteArray)> done)
{
    m_pdfPageSizes.push_back(pageSize);
    answer(std::move(done), QByteArray("%PDF-1.4 fake\n" + m_address.toUtf8() + '\n' + m_page.text.toUtf8()));
}

void FakeWebEngine::singleFileArchive(std::function<void(QByteArray)> done)
{
    answer(std::move(done), QStringLiteral("MIME-Version: 1.0\nSnapshot-Content-Location: %1\n\n%2\n").arg(m_address, m_page.text).toUtf8());
}

} // namespace tickwell
