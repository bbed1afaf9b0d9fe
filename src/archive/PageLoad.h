#pragma once

namespace tickwell {

// How waiting for a page load ended.
enum class PageLoad {
    Finished, // loaded
    Failed,   // the engine gave up on it, or it was stopped
    TimedOut, // no end in time: stopped and given up
    Rejected, // not an address: nothing was loaded
    NoEngine, // there is no web engine
};

} // namespace tickwell
