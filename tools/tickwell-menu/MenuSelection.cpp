#include "MenuSelection.h"

#include <QStringList>

namespace tickwell {

std::optional<MenuItem> FindMenuItem(const Menu &menu, const QString &path)
{
    const QStringList parts = path.split(QStringLiteral(" > "));
    const Menu *level = &menu;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString wanted = parts.at(i).trimmed();
        const MenuItem *found = nullptr;
        for (const auto &item : *level) {
            if (item.separator)
                continue;
            const QString title = item.title.isEmpty() && !item.image.isEmpty() ? QStringLiteral("[image]") : item.title;
            if (title == wanted) {
                found = &item;
                break;
            }
        }
        if (!found)
            return std::nullopt;
        if (i + 1 == parts.size())
            return *found;
        if (!found->submenu)
            return std::nullopt;
        level = &*found->submenu;
    }
    return std::nullopt;
}

} // namespace tickwell
