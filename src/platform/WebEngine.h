#pragma once

#include <QByteArray>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace tickwell {

// What a web engine reports while it loads a page. Called on the main thread, from the event
// loop (never from inside a call made on the engine).
class WebEngineDelegate {
public:
    virtual ~WebEngineDelegate() = default;

    // A page load has begun (the main document is being requested).
    virtual void webViewDidStartProvisionalLoad() = 0;
    virtual void webViewDidReceiveTitle(const QString &title) = 0;
    // One call per request the page makes, the main document's included.
    virtual void webViewResourceStarted() = 0;
    // Resource outcomes, as far as the engine tells them; see WebEngine.
    virtual void webViewResourceFinished() = 0;
    virtual void webViewResourceFailed() = 0;
    // Once per load when its progress ends: completed, failed or stopped. By then the finished
    // and failed reports add up to the started ones.
    virtual void webViewProgressFinished(bool succeeded) = 0;
};

// The off-screen browser view in which headline pages are loaded and turned into documents.
// One page at a time; every operation is asynchronous and answers on the main thread through
// the event loop, so callers wait by running the loop. An answer may never come (a renderer
// that died): callers bound their waits, and callbacks must stay safe to call after the caller
// gave up.
class WebEngine {
public:
    // The size the view gets for every load: the page lays out at this width.
    static constexpr QSize initialViewSize{640, 480};

    virtual ~WebEngine() = default;

    virtual void setDelegate(WebEngineDelegate *delegate) = 0;

    // Starts loading the address into the view, put back to initialViewSize first.
    virtual void load(const QUrl &address) = 0;
    // Ends the load in progress; its progress-finished report follows.
    virtual void stopLoading() = 0;

    virtual void resize(const QSize &size) = 0;
    virtual QSize viewSize() const = 0;

    // The full size of the rendered document in CSS pixels (the platform's points), or nothing.
    virtual void documentSize(std::function<void(std::optional<QSizeF>)> done) = 0;
    // The loaded page as PDF on one page of the given size in points, without margins; empty
    // bytes when printing failed.
    virtual void printToPdf(const QSizeF &pageSize, std::function<void(QByteArray)> done) = 0;
    // The loaded page with its resources as one file in the engine's single-file format; empty
    // bytes when that failed.
    virtual void singleFileArchive(std::function<void(QByteArray)> done) = 0;
    // The text of the loaded page.
    virtual void pageText(std::function<void(QString)> done) = 0;

    // Why the engine itself let the current page down (it could not be started, or it stopped
    // unexpectedly), in words for the status line; empty when it did not. Cleared by load().
    virtual QString failureReason() const { return {}; }
};

} // namespace tickwell
