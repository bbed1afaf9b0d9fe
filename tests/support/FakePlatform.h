#pragma once

#include "platform/headless/HeadlessStatusItem.h"
#include "platform/headless/LocalNotificationCenter.h"
#include "platform/headless/ManualWakeMonitor.h"
#include "platform/Platform.h"
#include "platform/headless/ScriptedDesktop.h"
#include "support/FakeUrlLoader.h"
#include "support/ManualTimerFactory.h"
#include "support/MemorySettingsStore.h"

#include <QTimeZone>

#include <optional>

namespace tickwell::testing {

// What the core asks of the desktop, in memory, with a clock that stands still until advanced
// (from Saturday 2026-12-05 3 PM). A test that needs the real or a recording loader, clock,
// or status item swaps it in before platform() is first called.
struct FakePlatform {
    static QDateTime startTime() { return QDateTime(QDate(2026, 12, 5), QTime(15, 0, 0), QTimeZone::systemTimeZone()); }

    Platform &platform()
    {
        if (!m_platform)
            m_platform.emplace(Platform{settings, loaderInUse ? *loaderInUse : loader, statusItemInUse ? *statusItemInUse : statusItem,
                                        timersInUse ? *timersInUse : timers, desktop, notifications, wake});
        return *m_platform;
    }

    MemorySettingsStore settings;
    FakeUrlLoader loader;
    HeadlessStatusItem statusItem;
    ManualTimerFactory timers{startTime()};
    ScriptedDesktop desktop;
    LocalNotificationCenter notifications;
    ManualWakeMonitor wake;

    UrlLoader *loaderInUse = nullptr;
    StatusItem *statusItemInUse = nullptr;
    TimerFactory *timersInUse = nullptr;

private:
    std::optional<Platform> m_platform;
};

} // namespace tickwell::testing
