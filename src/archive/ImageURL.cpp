#include "archive/ImageURL.h"

#include "archive/ArchiveController.h"

namespace tickwell {

ImageURL::ImageURL(ArchiveController &controller)
    : m_controller(controller)
{
    m_controller.addLoadObserver(this);
}

ImageURL::~ImageURL()
{
    if (m_subscribed)
        m_controller.removeLoadObserver(this);
}

void ImageURL::webPageFinishedLoading(bool succeeded)
{
    m_controller.removeLoadObserver(this);
    m_subscribed = false;
    m_loaded = true;
    m_succeeded = succeeded;
}

} // namespace tickwell
