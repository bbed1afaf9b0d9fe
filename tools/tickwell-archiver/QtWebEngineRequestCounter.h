#pragma once

#include <QObject>
#include <QPointer>
#include <QWebEngineUrlRequestInterceptor>

#include <functional>

namespace tickwell {

// Counts the requests of one page. Qt may call interceptors off the main thread, so each request
// is handed to the main thread's event loop before it is reported.
class QtWebEngineRequestCounter final : public QWebEngineUrlRequestInterceptor {
public:
    // `receiver` lives on the main thread; requests arriving after it is gone are dropped.
    QtWebEngineRequestCounter(QObject *receiver, std::function<void()> onRequest)
        : m_receiver(receiver), m_onRequest(std::move(onRequest))
    {
    }

    void interceptRequest(QWebEngineUrlRequestInfo &) override
    {
        QObject *receiver = m_receiver.data();
        if (!receiver)
            return;
        QMetaObject::invokeMethod(receiver, m_onRequest, Qt::QueuedConnection);
    }

private:
    QPointer<QObject> m_receiver;
    std::function<void()> m_onRequest;
};

} // namespace tickwell
