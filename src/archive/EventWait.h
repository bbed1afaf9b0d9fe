#pragma once

#include <functional>

namespace tickwell {

// Waiting for the web engine by running the main event loop, nested: timers, menu clicks and the
// progress window's Stop keep working while a save waits.
class EventWait {
public:
    virtual ~EventWait() = default;

    // Runs the loop until `done` answers true or `seconds` have passed; returns done(). With zero
    // seconds, events already pending are handled once without waiting.
    virtual bool runUntil(const std::function<bool()> &done, double seconds) = 0;
    // Has the innermost wait check its condition now rather than at the end of its slice.
    virtual void wake() = 0;
    // True once the application is quitting: waits return at once and saves should give up.
    virtual bool isQuitting() const = 0;

    // Lets the system run for about that long.
    void pause(double seconds)
    {
        runUntil([] { return false; }, seconds);
    }
};

} // namespace tickwell
