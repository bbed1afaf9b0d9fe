#pragma once

#include <QString>

#include <functional>

namespace tickwell {

inline const QString kPreferencesChangedName = QStringLiteral("Preferences Changed");
inline const QString kPreferencesChangedObject = QStringLiteral("com.brantlow.preference.Tickwell");

// The "Preferences Changed" notification: delivered in-process and, where a session bus is
// there, to other processes as well.
class NotificationCenter {
public:
    virtual ~NotificationCenter() = default;

    virtual void postPreferencesChanged() = 0;
    virtual void observePreferencesChanged(std::function<void()> callback) = 0;
};

// Tells when the machine has woken from sleep.
class WakeMonitor {
public:
    virtual ~WakeMonitor() = default;

    // False when no power notifications can be had; the application then runs without them.
    virtual bool start(std::function<void()> onPoweredOn) = 0;
};

} // namespace tickwell
