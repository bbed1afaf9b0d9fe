#pragma once

#include "platform/NotificationCenter.h"

#include <vector>

namespace tickwell {

// Delivers "Preferences Changed" to the observers of this object only, for tests.
class LocalNotificationCenter final : public NotificationCenter {
public:
    void postPreferencesChanged() override
    {
        ++m_postCount;
        // A copy: an observer may add observers while being called.
        const auto observers = m_observers;
        for (const auto &observer : observers)
            observer();
    }
    void observePreferencesChanged(std::function<void()> callback) override
    {
        m_observers.push_back(std::move(callback));
    }

    int postCount() const { return m_postCount; }

private:
    std::vector<std::function<void()>> m_observers;
    int m_postCount = 0;
};

} // namespace tickwell
