#pragma once

#include "app/ControllerState.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "platform/MenuItem.h"
#include "platform/Timer.h"
#include "platform/UrlLoader.h"

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
};

} // namespace tickwell
