#pragma once

#include "platform/NotificationCenter.h"

namespace tickwell {

// A wake monitor woken by hand, for tests.
class ManualWakeMonitor final : public WakeMonitor {
public:
    explicit ManualWakeMonitor(bool available = true) : m_available(available) {}

    bool start(std::function<void()> onPoweredOn) override
    {
        if (!m_available)
            return false;
        m_onPoweredOn = std::move(onPoweredOn);
        return true;
    }

    bool isStarted() const { return static_cast<bool>(m_onPoweredOn); }

    // Does what a wake from sleep does: calls the callback given to start().
    void wake()
    {
        if (m_onPoweredOn)
            m_onPoweredOn();
    }

private:
    bool m_available;
    std::function<void()> m_onPoweredOn;
};

} // namespace tickwell
