#pragma once

#include "platform/WebEngine.h"

#include <memory>

namespace tickwell {

// The web engine on Qt WebEngine: a private, off-the-record profile and a 640 by 480 view that is
// laid out but never put on screen.
//
// Resource counting: every request the page makes passes the profile's request interceptor and
// counts as started. Chromium tells Qt nothing about each resource's end, so the ends are read
// from the page itself while it loads: an entry in the page's resource timing list is a resource
// that ended, an element's load error (a missing image or stylesheet, a refused connection) a
// failed one. Requests that neither shows (those of frames inside the page, for example) are
// settled when the load ends: finished when it completed, failed when it failed or was stopped.
class QtWebEngine final : public WebEngine {
public:
    // To be called before the QApplication is made: shares GL contexts as Qt WebEngine wants and,
    // when the process runs as root, turns Chromium's sandbox off (it refuses to start otherwise).
    static void prepareProcess();

    QtWebEngine();
    ~QtWebEngine() override;
    QtWebEngine(const QtWebEngine &) = delete;
    QtWebEngine &operator=(const QtWebEngine &) = delete;

    void setDelegate(WebEngineDelegate *delegate) override;
    void load(const QUrl &address) override;
    void stopLoading() override;
    void resize(const QSize &size) override;
    QSize viewSize() const override;
    void documentSize(std::function<void(std::optional<QSizeF>)> done) override;
    void printToPdf(const QSizeF &pageSize, std::function<void(QByteArray)> done) override;
    void singleFileArchive(std::function<void(QByteArray)> done) override;
    void pageText(std::function<void(QString)> done) override;

    class Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

} // namespace tickwell
