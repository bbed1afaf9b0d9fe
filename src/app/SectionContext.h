#pragma once

#include "app/ControllerState.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "platform/MenuItem.h"
#include "platform/Timer.h"
#include "platform/UrlLoader.h"

#include <functional>

namespace tickwell {

// What a menu section builder works with: the controller's state, the settings, the hosts, the
// loader for the one-time headline title lookup, the clock, and the menu being built.
struct SectionContext {
    ControllerState &state;
    const Preferences &prefs;
    const Hosts &hosts;
    UrlLoader &loader;
    const TimerFactory &clock;
    Menu &menu;
    // Adds groups of other subsystems to a symbol's submenu, before its history; may be empty.
    std::function<void(const QString &symbol, Menu &submenu)> addSymbolGroups = {};
};

} // namespace tickwell
