#pragma once

#include "archive/LoadObserver.h"

namespace tickwell {

class ArchiveController;

// Watches one load of the web view: subscribed from construction until the load's end is
// reported (or until it goes, if that never came).
class ImageURL final : public LoadObserver {
public:
    explicit ImageURL(ArchiveController &controller);
    ~ImageURL() override;
    ImageURL(const ImageURL &) = delete;
    ImageURL &operator=(const ImageURL &) = delete;

    void webPageFinishedLoading(bool succeeded) override;

    bool loaded() const { return m_loaded; }
    bool succeeded() const { return m_succeeded; }

private:
    ArchiveController &m_controller;
    bool m_subscribed = true;
    bool m_loaded = false;
    bool m_succeeded = false;
};

} // namespace tickwell
