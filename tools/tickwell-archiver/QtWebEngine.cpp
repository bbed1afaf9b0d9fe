#include "QtWebEngine.h"

#include <QCoreApplication>

#include <unistd.h>

#include "QtWebEngineRequestCounter.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <algorithm>

namespace tickwell {

namespace {

// Our scripts run in a world of their own, out of the page scripts' way; they share the DOM.
constexpr quint32 kScriptWorld = QWebEngineScript::ApplicationWorld;

// Counts the element load errors of the page (an image, stylesheet or script that failed),
// from the moment the document exists.
const char *const kErrorCounterScript = R"JS(
(function () {
  if (window.__tickwellResourceErrors !== undefined) return;
  window.__tickwellResourceErrors = 0;
  window.addEventListener('error', function (event) {
    if (event.target && event.target !== window) window.__tickwellResourceErrors++;
  }, true);
})();
)JS";

// [resources that ended, element load errors]
const char *const kResourceProgressScript = R"JS(
(function () {
  var ended = 0;
  try { ended = performance.getEntriesByType('resource').length; } catch (e) {}
  return [ended, window.__tickwellResourceErrors || 0];
})();
)JS";

const char *const kDocumentSizeScript = R"JS(
(function () {
  var d = document.documentElement, b = document.body;
  return [Math.max(d ? d.scrollWidth : 0, b ? b.scrollWidth : 0),
          Math.max(d ? d.scrollHeight : 0, b ? b.scrollHeight : 0)];
})();
)JS";

// How long the end of a load waits for the page's last resource figures.
constexpr int kFinalCountMs = 1000;

} // namespace

class QtWebEngine::Impl final : public QObject {
public:
    Impl()
        : m_counter(this, [this] { requestStarted(); })
    {
        m_page = std::make_unique<QWebEnginePage>(&m_profile);
        m_page->setUrlRequestInterceptor(&m_counter);
        m_page->setAudioMuted(true);
        QWebEngineSettings *settings = m_page->settings();
        settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false); // no favicon request to count
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        settings->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);

        QWebEngineScript errorCounter;
        errorCounter.setName(QStringLiteral("tickwell-resource-errors"));
        errorCounter.setSourceCode(QString::fromLatin1(kErrorCounterScript));
        errorCounter.setInjectionPoint(QWebEngineScript::DocumentCreation);
        errorCounter.setWorldId(kScriptWorld);
        errorCounter.setRunsOnSubFrames(false);
        m_page->scripts().insert(errorCounter);

        m_view.setPage(m_page.get());
        m_view.setAttribute(Qt::WA_DontShowOnScreen);
        m_view.resize(initialViewSize);
        m_view.show(); // laid out (and so measurable) only when shown

        connect(m_page.get(), &QWebEnginePage::loadStarted, this, [this] { loadStarted(); });
        connect(m_page.get(), &QWebEnginePage::loadProgress, this, [this](int) { pollResources(false); });
        connect(m_page.get(), &QWebEnginePage::loadFinished, this, [this](bool ok) { loadFinished(ok); });
        connect(m_page.get(), &QWebEnginePage::titleChanged, this, [this](const QString &title) {
            if (m_delegate && !m_awaitingStart)
                m_delegate->webViewDidReceiveTitle(title);
        });
        connect(&m_profile, &QWebEngineProfile::downloadRequested, this, [this](QWebEngineDownloadRequest *download) {
            downloadRequested(download);
        });
    }

    ~Impl() override
    {
        m_view.setPage(nullptr);
        m_page.reset(); // before the profile, which Qt insists on
    }

    void setDelegate(WebEngineDelegate *delegate) { m_delegate = delegate; }

    void load(const QUrl &address)
    {
        // The previous load may still report its end; it must not end this one.
        m_awaitingStart = true;
        ++m_generation;
        m_started = m_finished = m_failed = 0;
        m_pollInFlight = false;
        m_view.resize(initialViewSize);
        m_page->load(address);
    }

    void stopLoading()
    {
        const bool notStarted = m_awaitingStart;
        m_page->triggerAction(QWebEnginePage::Stop);
        if (!notStarted)
            return; // its end is reported as the page reports it
        // Stopped before the page even reported its start: it may never report an end either.
        m_awaitingStart = false;
        const int generation = m_generation;
        QTimer::singleShot(0, this, [this, generation] { settle(generation, false); });
    }

    void resize(const QSize &size) { m_view.resize(size); }
    QSize viewSize() const { return m_view.size(); }

    void documentSize(std::function<void(std::optional<QSizeF>)> done)
    {
        m_page->runJavaScript(QString::fromLatin1(kDocumentSizeScript), kScriptWorld, [done = std::move(done)](const QVariant &value) {
            const QVariantList size = value.toList();
            if (size.size() != 2 || !size[0].canConvert<double>() || !size[1].canConvert<double>()) {
                done(std::nullopt);
                return;
            }
            done(QSizeF(size[0].toDouble(), size[1].toDouble()));
        });
    }

    void printToPdf(const QSizeF &pageSize, std::function<void(QByteArray)> done)
    {
        QPageLayout layout(QPageSize(pageSize, QPageSize::Point, QString(), QPageSize::ExactMatch), QPageLayout::Portrait,
                           QMarginsF(0, 0, 0, 0), QPageLayout::Point);
        layout.setMode(QPageLayout::FullPageMode);
        m_page->printToPdf([done = std::move(done)](const QByteArray &pdf) { done(pdf); }, layout);
    }

    void singleFileArchive(std::function<void(QByteArray)> done)
    {
        if (!m_archiveDir)
            m_archiveDir.emplace();
        if (!m_archiveDir->isValid()) {
            QTimer::singleShot(0, this, [done = std::move(done)] { done({}); });
            return;
        }
        const QString path = m_archiveDir->filePath(QStringLiteral("page-%1.mhtml").arg(++m_archiveSerial));
        m_archiveRequests.push_back({path, std::move(done)});
        m_page->save(path, QWebEngineDownloadRequest::MimeHtmlSaveFormat);
    }

    void pageText(std::function<void(QString)> done)
    {
        m_page->toPlainText([done = std::move(done)](const QString &text) { done(text); });
    }

private:
    struct ArchiveRequest {
        QString path;
        std::function<void(QByteArray)> done;
    };

    void loadStarted()
    {
        if (!m_awaitingStart)
            return; // a navigation of the page's own (a redirect by script, say): same load
        m_awaitingStart = false;
        if (m_delegate)
            m_delegate->webViewDidStartProvisionalLoad();
    }

    void requestStarted()
    {
        ++m_started;
        if (m_delegate)
            m_delegate->webViewResourceStarted();
    }

    // Reports resources that ended since the last report, never more than were started.
    void reportEnded(int finished, int failed)
    {
        failed = std::clamp(failed, m_failed, m_started - m_finished);
        finished = std::clamp(finished, m_finished, m_started - failed);
        for (; m_failed < failed; ++m_failed)
            if (m_delegate)
                m_delegate->webViewResourceFailed();
        for (; m_finished < finished; ++m_finished)
            if (m_delegate)
                m_delegate->webViewResourceFinished();
    }

    void pollResources(bool final, std::function<void()> then = {})
    {
        if (m_awaitingStart || (m_pollInFlight && !final))
            return;
        m_pollInFlight = true;
        const int generation = m_generation;
        m_page->runJavaScript(QString::fromLatin1(kResourceProgressScript), kScriptWorld,
                              [self = QPointer<Impl>(this), generation, then = std::move(then)](const QVariant &value) {
                                  if (!self || self->m_generation != generation)
                                      return;
                                  self->m_pollInFlight = false;
                                  const QVariantList figures = value.toList();
                                  if (figures.size() == 2) {
                                      // The main document is settled at the end of the load.
                                      const int errors = figures[1].toInt();
                                      self->reportEnded(std::max(0, figures[0].toInt() - errors), errors);
                                  }
                                  if (then)
                                      then();
                              });
    }

    void loadFinished(bool ok)
    {
        if (m_awaitingStart)
            return; // the end of the load that the current one replaced
        const int generation = m_generation;
        pollResources(true, [this, generation, ok] { settle(generation, ok); });
        QTimer::singleShot(kFinalCountMs, this, [this, generation, ok] { settle(generation, ok); }); // a page that no longer answers
    }

    // Reports the end of the load once: whatever is still open ended with it.
    void settle(int generation, bool ok)
    {
        if (generation != m_generation || m_settledGeneration == generation)
            return;
        m_settledGeneration = generation;
        if (ok)
            reportEnded(m_started - m_failed, m_failed);
        else
            reportEnded(m_finished, m_started - m_finished);
        if (m_delegate)
            m_delegate->webViewProgressFinished(ok);
    }

    void downloadRequested(QWebEngineDownloadRequest *download)
    {
        const auto it = std::find_if(m_archiveRequests.begin(), m_archiveRequests.end(), [download](const ArchiveRequest &request) {
            return download->isSavePageDownload() && QDir(download->downloadDirectory()).filePath(download->downloadFileName()) == request.path;
        });
        if (it == m_archiveRequests.end()) {
            download->cancel(); // a download the page started by itself
            return;
        }
        const QString path = it->path;
        connect(download, &QWebEngineDownloadRequest::stateChanged, this, [this, path](QWebEngineDownloadRequest::DownloadState state) {
            if (state == QWebEngineDownloadRequest::DownloadCompleted)
                archiveEnded(path, true);
            else if (state == QWebEngineDownloadRequest::DownloadCancelled || state == QWebEngineDownloadRequest::DownloadInterrupted)
                archiveEnded(path, false);
        });
    }

    void archiveEnded(const QString &path, bool completed)
    {
        const auto it = std::find_if(m_archiveRequests.begin(), m_archiveRequests.end(),
                                     [&path](const ArchiveRequest &request) { return request.path == path; });
        if (it == m_archiveRequests.end())
            return;
        ArchiveRequest request = std::move(*it);
        m_archiveRequests.erase(it);
        QByteArray bytes;
        QFile file(path);
        if (completed && file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        file.close();
        QFile::remove(path);
        request.done(bytes);
    }

    QWebEngineProfile m_profile; // no storage name: off the record, nothing kept on disk
    QWebEngineView m_view;
    std::unique_ptr<QWebEnginePage> m_page;
    QtWebEngineRequestCounter m_counter;
    WebEngineDelegate *m_delegate = nullptr;

    bool m_awaitingStart = false;
    int m_generation = 0;
    int m_settledGeneration = -1;
    int m_started = 0;
    int m_finished = 0;
    int m_failed = 0;
    bool m_pollInFlight = false;

    std::optional<QTemporaryDir> m_archiveDir;
    int m_archiveSerial = 0;
    std::vector<ArchiveRequest> m_archiveRequests;
};

namespace {

// Chromium reads these when the first profile is made.
void allowRootWithoutSandbox()
{
    if (::geteuid() != 0)
        return;
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--no-sandbox"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags.isEmpty() ? QByteArray() : flags + ' ') + "--no-sandbox");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace

void QtWebEngine::prepareProcess()
{
    if (!QCoreApplication::instance())
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    allowRootWithoutSandbox();
}

QtWebEngine::QtWebEngine() : m_impl(std::make_unique<Impl>()) {}
QtWebEngine::~QtWebEngine() = default;

void QtWebEngine::setDelegate(WebEngineDelegate *delegate) { m_impl->setDelegate(delegate); }
void QtWebEngine::load(const QUrl &address) { m_impl->load(address); }
void QtWebEngine::stopLoading() { m_impl->stopLoading(); }
void QtWebEngine::resize(const QSize &size) { m_impl->resize(size); }
QSize QtWebEngine::viewSize() const { return m_impl->viewSize(); }
void QtWebEngine::documentSize(std::function<void(std::optional<QSizeF>)> done) { m_impl->documentSize(std::move(done)); }
void QtWebEngine::printToPdf(const QSizeF &pageSize, std::function<void(QByteArray)> done) { m_impl->printToPdf(pageSize, std::move(done)); }
void QtWebEngine::singleFileArchive(std::function<void(QByteArray)> done) { m_impl->singleFileArchive(std::move(done)); }
void QtWebEngine::pageText(std::function<void(QString)> done) { m_impl->pageText(std::move(done)); }

} // namespace tickwell
