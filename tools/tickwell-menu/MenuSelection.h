#pragma once

#include "platform/MenuItem.h"

#include <QString>

#include <optional>

namespace tickwell {

// Finds an item by a path of titles from the top menu down, "Title > Submenu item title".
// Titles are matched exactly after trimming each part, or by their beginning when the part ends
// in "*" ("Acme*"); items shown by an image alone are found as "[image]" (the first, a logo) and
// "[image 2]" (the second, a chart).
std::optional<MenuItem> FindMenuItem(const Menu &menu, const QString &path);

} // namespace tickwell
