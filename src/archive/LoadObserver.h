#pragma once

namespace tickwell {

// Told when the web view's load progress ends (completed, failed or stopped).
class LoadObserver {
public:
    virtual ~LoadObserver() = default;
    virtual void webPageFinishedLoading(bool succeeded) = 0;
};

} // namespace tickwell
