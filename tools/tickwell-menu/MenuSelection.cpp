#include "MenuSelection.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace tickwell {

std::optional<MenuItem> FindMenuItem(const Menu &menu, const QString &path)
{
    static const QRegularExpression imageName(QStringLiteral("^\\[image(?: (\\d+))?\\]$"));
    const QStringList parts = path.split(QStringLiteral(" > "));
    const Menu *level = &menu;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString wanted = parts.at(i).trimmed();
        // "[image]" is the first item shown by its image alone, "[image 2]" the second.
        const QRegularExpressionMatch image = imageName.match(wanted);
        int imagesLeft = image.hasMatch() ? std::max(1, image.captured(1).toInt()) : 0;
        const bool prefix = wanted.endsWith(QLatin1Char('*'));
        const QString head = prefix ? wanted.chopped(1) : wanted;
        const MenuItem *found = nullptr;
        for (const auto &item : *level) {
            if (item.separator)
                continue;
            // Either the item's title or the text the menu shows (with a quote line's change).
            const QString shown = item.styledTitle ? plainText(*item.styledTitle) : item.title;
            const auto named = [&](const QString &text) { return prefix ? text.startsWith(head) : text == head; };
            const bool matches = image.hasMatch() ? item.title.isEmpty() && !item.image.isEmpty() && --imagesLeft == 0
                                                  : named(item.title) || named(shown);
            if (matches) {
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
