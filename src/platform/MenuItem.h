#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

namespace tickwell {

// One run of a styled title: text in the system font at a size, optionally coloured.
struct StyledRun {
    QString text;
    double pointSize = 14.0;
    std::optional<QColor> color;

    bool operator==(const StyledRun &) const = default;
};

struct MenuItem;
using Menu = std::vector<MenuItem>;

// The plain data model of a menu line. Section builders produce it; the desktop layer renders it
// and tools read it directly.
struct MenuItem {
    bool separator = false;
    QString title;
    std::optional<std::vector<StyledRun>> styledTitle;
    QString image;       // resource name ("menuitem_up_g.tif") or the store address of a fetched image
    QImage imageData;    // the pixels to draw; null for resource images the renderer loads by name
    QString action;      // selector name such as "selItemUpdateNow:", empty for none
    QString keyEquivalent;
    std::optional<QString> toolTip;
    std::optional<Menu> submenu;

    // Every item with an action is enabled; information lines without action or submenu are not.
    bool enabled() const { return !separator && (!action.isEmpty() || submenu.has_value()); }

    static MenuItem makeSeparator()
    {
        MenuItem item;
        item.separator = true;
        return item;
    }
    static MenuItem make(QString title, QString action = {}, QString keyEquivalent = {})
    {
        MenuItem item;
        item.title = std::move(title);
        item.action = std::move(action);
        item.keyEquivalent = std::move(keyEquivalent);
        return item;
    }
};

// The plain text of a styled title.
inline QString plainText(const std::vector<StyledRun> &runs)
{
    QString text;
    for (const auto &run : runs)
        text += run.text;
    return text;
}

} // namespace tickwell
