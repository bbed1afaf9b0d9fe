#pragma once

#include "platform/MenuItem.h"
#include "platform/desktop/StyledMenuStyle.h"

#include <QMenu>

#include <functional>

namespace tickwell {

// Fills a QMenu from the menu model. Chosen items reach the handler as copies of their model
// item, so they stay valid while the menu is rebuilt under them.
class MenuRenderer {
public:
    using Handler = std::function<void(const MenuItem &)>;

    explicit MenuRenderer(StyledMenuStyle &style) : m_style(style) {}

    void render(QMenu &target, const Menu &menu, const Handler &handler);

    // The image of an item: its own pixels, else the resource of that name.
    static QImage itemImage(const MenuItem &item);

private:
    void fill(QMenu &target, const Menu &menu, const Handler &handler, QHash<QString, std::vector<StyledRun>> &styled);

    StyledMenuStyle &m_style;
};

} // namespace tickwell
