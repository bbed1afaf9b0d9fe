#include "controller/MenuHold.h"

#include <algorithm>

namespace tickwell {

MenuHold::MenuHold(TimerFactory &timers, double boundSeconds)
    : m_timers(timers)
    , m_boundSeconds(boundSeconds)
{
}

void MenuHold::menuShown()
{
    m_held = true;
    if (m_bound)
        m_bound->invalidate();
    m_bound = m_timers.schedule(m_boundSeconds, false, [this] { menuHidden(); });
}

void MenuHold::menuHidden()
{
    if (!m_held)
        return;
    m_held = false;
    if (m_bound)
        m_bound->invalidate(); // not destroyed here: this may be its own callback
    // Taken out first: the work may queue more, or the menu may open again in a nested event loop,
    // and then the rest waits once more.
    std::vector<Waiting> waiting = std::exchange(m_waiting, {});
    for (auto entry = waiting.begin(); entry != waiting.end(); ++entry) {
        if (m_held) {
            m_waiting.insert(m_waiting.begin(), std::make_move_iterator(entry), std::make_move_iterator(waiting.end()));
            return;
        }
        entry->work();
    }
}

void MenuHold::run(const QString &kind, std::function<void()> work, bool supersedes)
{
    if (!m_held) {
        work();
        return;
    }
    if (supersedes)
        m_waiting.clear();
    if (std::none_of(m_waiting.begin(), m_waiting.end(), [&kind](const Waiting &entry) { return entry.kind == kind; }))
        m_waiting.push_back({kind, std::move(work)});
}

} // namespace tickwell
