#pragma once

#include "app/Hosts.h"
#include "app/PageStore.h"
#include "app/Preferences.h"
#include "platform/UrlLoader.h"

#include <vector>

namespace tickwell {

// One address the refresh fetches and whether it holds an image or a page.
struct RefreshRequest {
    QString address;
    bool isImage = false;

    bool operator==(const RefreshRequest &) const = default;
};

// Every address of one refresh, in the order the refresh fetches them: the index charts, then
// chart, logo and quote page of each shown symbol, then the metals, markets and other-indices pages.
std::vector<RefreshRequest> RefreshRequests(const Preferences &prefs, const Hosts &hosts);

// Empties the store and fills it with what arrives; failed fetches and undecodable images leave
// no entry. The loader may fetch concurrently; the store ends as a sequential refresh leaves it.
void RunRefresh(const std::vector<RefreshRequest> &requests, UrlLoader &loader, PageStore &store);

} // namespace tickwell
