#pragma once

#include "archive/EventWait.h"

#include <vector>

class QEventLoop;

namespace tickwell {

// Waits in nested QEventLoops, in slices of a tenth of a second at most, on the thread that
// runs it (the main thread).
class QtEventWait final : public EventWait {
public:
    bool runUntil(const std::function<bool()> &done, double seconds) override;
    void wake() override;
    bool isQuitting() const override { return m_quitting; }

private:
    std::vector<QEventLoop *> m_loops; // innermost last
    bool m_quitting = false;
};

} // namespace tickwell
