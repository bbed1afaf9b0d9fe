#pragma once

#include "archive/EventWait.h"

#include <functional>
#include <memory>
#include <optional>

namespace tickwell {

// Asks the web engine for something and runs the event loop until the answer comes or the time
// is up. The answer may still come after that; it then lands in storage nobody reads.
template <typename T>
std::optional<T> AwaitEngineAnswer(EventWait &events, double seconds, const std::function<void(std::function<void(T)>)> &ask)
{
    auto answer = std::make_shared<std::optional<T>>();
    ask([answer, &events](T value) {
        *answer = std::move(value);
        events.wake();
    });
    events.runUntil([answer] { return answer->has_value(); }, seconds);
    return *answer;
}

} // namespace tickwell
