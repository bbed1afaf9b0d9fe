#pragma once

#include "platform/Timer.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace tickwell {

// Timers do not fire while the status menu is open: the store, the title and the timers must not
// change under a menu the user is reading. Work that falls due meanwhile waits and runs once the
// menu closes, each kind once however often it fell due. Not every panel says that its menu
// closed, so a hold ends by itself after a bound.
class MenuHold {
public:
    explicit MenuHold(TimerFactory &timers, double boundSeconds = 120.0);

    // The menu came on screen: starts the hold, or renews its bound.
    void menuShown();
    // The menu went away: runs what waited, in the order it fell due.
    void menuHidden();
    bool isHeld() const { return m_held; }

    // Runs the work now, or once the hold ends. A superseding kind (setup, which restarts every
    // timer and fires each once) drops what waits before it.
    void run(const QString &kind, std::function<void()> work, bool supersedes = false);

private:
    struct Waiting {
        QString kind;
        std::function<void()> work;
    };

    TimerFactory &m_timers;
    double m_boundSeconds;
    bool m_held = false;
    std::unique_ptr<Timer> m_bound;
    std::vector<Waiting> m_waiting;
};

} // namespace tickwell
