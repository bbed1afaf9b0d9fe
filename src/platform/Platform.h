#pragma once

#include "platform/Desktop.h"
#include "platform/NotificationCenter.h"
#include "platform/SettingsStore.h"
#include "platform/StatusItem.h"
#include "platform/Timer.h"
#include "platform/UrlLoader.h"

namespace tickwell {

// Everything the core asks of the desktop, handed to the controller at construction.
// The objects are owned by whoever builds the application (main, a tool or a test).
struct Platform {
    SettingsStore &settings;
    UrlLoader &loader;
    StatusItem &statusItem;
    TimerFactory &timers;
    Desktop &desktop;
    NotificationCenter &notifications;
    WakeMonitor &wake;
};

} // namespace tickwell
