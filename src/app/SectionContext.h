#pragma once

#include "app/ControllerState.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "platform/MenuItem.h"
#include "platform/Timer.h"

#include <functional>

namespace tickwell {

// What a menu section builder works with: the controller's state, the settings, the hosts, the
// clock, and the menu being built. No loader: a build reads the stored pages and never fetches.
struct SectionContext {
    ControllerState &state;
    const Preferences &prefs;
    const Hosts &hosts;
    const TimerFactory &clock;
    Menu &menu;
    // Adds groups of other subsystems to a symbol's submenu, before its history; may be empty.
    std::function<void(const QString &symbol, Menu &submenu)> addSymbolGroups = {};
};

} // namespace tickwell
