#include "archive/QtEventWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace tickwell {

namespace {

constexpr qint64 kSliceMs = 100;

} // namespace

bool QtEventWait::runUntil(const std::function<bool()> &done, double seconds)
{
    if (done())
        return true;
    if (m_quitting)
        return false;
    if (!(seconds > 0)) {
        QCoreApplication::processEvents();
        return done();
    }
    const QDeadlineTimer deadline(static_cast<qint64>(std::ceil(std::min(seconds, 1e9) * 1000.0)), Qt::PreciseTimer);
    while (!done()) {
        const qint64 remaining = deadline.remainingTime();
        if (remaining <= 0)
            return false;
        QEventLoop loop;
        QTimer slice;
        slice.setSingleShot(true);
        slice.setTimerType(Qt::PreciseTimer);
        QObject::connect(&slice, &QTimer::timeout, &loop, &QEventLoop::quit);
        slice.start(static_cast<int>(std::min(remaining, kSliceMs)));
        m_loops.push_back(&loop);
        const int result = loop.exec();
        m_loops.pop_back();
        // A loop that returns at once with -1 means the application is quitting: every loop is
        // being left, and waiting on would only spin.
        if (result == -1) {
            m_quitting = true;
            return done();
        }
    }
    return true;
}

void QtEventWait::wake()
{
    if (!m_loops.empty())
        m_loops.back()->quit();
}

} // namespace tickwell
