#pragma once

#include "platform/MenuItem.h"

#include <QString>

#include <optional>

namespace tickwell {

// Finds an item by a path of titles from the top menu down, "Title > Submenu item title".
// Titles are matched exactly after trimming each part; an item without a title (a logo) is
// found by the text "[image]".
std::optional<MenuItem> FindMenuItem(const Menu &menu, const QString &path);

} // namespace tickwell
