#pragma once

#include "platform/Timer.h"
#include "platform/WebEngine.h"

#include <QHash>
#include <QStringList>

#include <memory>
#include <vector>

namespace tickwell {

// A page the fake engine knows, with how its load goes.
struct FakeWebPage {
    QString title;
    QSizeF documentSize{640, 480};
    int resources = 0;        // requests besides the main document
    double loadSeconds = 1.0; // until the load's progress ends
    bool finishes = true;     // false: the load never ends by itself
    bool fails = false;       // the main document cannot be loaded
    QString text;
};

// A web engine for tests, running on the clock of a TimerFactory: every report and answer comes
// from a timer, as the real engine's come from the event loop. Unknown addresses fail to load.
// The "PDF" and "archive" it makes are short texts naming the page and holding its text.
class FakeWebEngine final : public WebEngine {
public:
    explicit FakeWebEngine(TimerFactory &clock) : m_clock(clock) {}

    void addPage(const QString &address, FakeWebPage page) { m_pages.insert(address, std::move(page)); }
    // Runs as each load starts, with its address: lets a test act in the middle of a batch.
    void setLoadHook(std::function<void(const QString &)> hook) { m_loadHook = std::move(hook); }
    // The asynchronous answers (size, PDF, archive, text) never come, as from a dead renderer.
    void setAnswersNever(bool never) { m_answersNever = never; }

    void setDelegate(WebEngineDelegate *delegate) override { m_delegate = delegate; }
    void load(const QUrl &address) override;
    void stopLoading() override;
    void resize(const QSize &size) override { m_viewSize = size; }
    QSize viewSize() const override { return m_viewSize; }
    void documentSize(std::function<void(std::optional<QSizeF>)> done) override { answer(std::move(done), m_page.documentSize); }
    void printToPdf(const QSizeF &pageSize, std::function<void(QByteArray)> done) override;
    void singleFileArchive(std::function<void(QByteArray)> done) override;
    void pageText(std::function<void(QString)> done) override { answer(std::move(done), m_page.text); }

    const QStringList &loads() const { return m_loads; }
    int stops() const { return m_stops; }
    const std::vector<QSizeF> &pdfPageSizes() const { return m_pdfPageSizes; }

private:
    void later(double seconds, std::function<void()> action, bool partOfLoad);
    template <typename Done, typename Value> void answer(Done done, Value value)
    {
        if (!m_answersNever)
            later(0, [done = std::move(done), value] { done(value); }, false);
    }
    void report(void (WebEngineDelegate::*event)());

    TimerFactory &m_clock;
    WebEngineDelegate *m_delegate = nullptr;
    QHash<QString, FakeWebPage> m_pages;
    std::function<void(const QString &)> m_loadHook;
    bool m_answersNever = false;

    QSize m_viewSize = initialViewSize;
    QString m_address;
    FakeWebPage m_page;
    bool m_loading = false;
    int m_started = 0; // requests this load
    int m_reported = 0; // of those, the ones finished or failed
    QStringList m_loads;
    int m_stops = 0;
    std::vector<QSizeF> m_pdfPageSizes;

    struct Pending {
        std::unique_ptr<Timer> timer;
        bool partOfLoad;
    };
    std::vector<Pending> m_pending;
};

} // namespace tickwell
