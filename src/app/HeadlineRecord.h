#pragma once

#include <QString>

#include <optional>

namespace tickwell {

// One headline of a symbol's submenu, as the batch saves walk them.
struct HeadlineRecord {
    QString url;
    QString title;
    std::optional<QString> timeString; // the source line, when one was found

    bool operator==(const HeadlineRecord &) const = default;
};

} // namespace tickwell
