#include "platform/desktop/MenuPlacement.h"

#include <algorithm>

namespace tickwell {

namespace {

int keepWithin(int position, int length, int low, int high)
{
    return std::clamp(position, low, std::max(low, high - length));
}

// Across the panel: after the anchor's end if the menu fits there, else before its start if it
// fits there, else on the side with more room; kept within [low, high).
int placeBeside(int anchorStart, int anchorEnd, int length, int low, int high)
{
    int position = anchorEnd;
    if (anchorEnd + length > high && (anchorStart - length >= low || anchorStart - low > high - anchorEnd))
        position = anchorStart - length;
    return keepWithin(position, length, low, high);
}

// Along the panel: from `start` onwards, or back from `end` where the screen ends first.
int placeAlong(int start, int end, int length, int low, int high)
{
    const int position = start + length > high ? end - length : start;
    return keepWithin(position, length, low, high);
}

} // namespace

QPoint MenuPosition(QPoint click, std::optional<QRect> panel, QSize menu, QRect screen)
{
    // A window covering a quarter of the screen each way is not a panel (a desktop, a browser).
    if (panel && (!panel->isValid() || (panel->width() > screen.width() / 4 && panel->height() > screen.height() / 4)))
        panel.reset();
    const QRect anchor = panel ? *panel : QRect(click, QSize(1, 1));
    const bool horizontal = anchor.width() >= anchor.height();
    // Along a whole panel the menu starts at the click; along an icon-sized anchor, at its edge.
    const bool iconSized = std::max(anchor.width(), anchor.height()) <= 2 * std::min(anchor.width(), anchor.height());
    const QRect along = iconSized ? anchor : QRect(click, QSize(1, 1));
    if (horizontal) {
        return {placeAlong(along.left(), along.right() + 1, menu.width(), screen.left(), screen.right() + 1),
            placeBeside(anchor.top(), anchor.bottom() + 1, menu.height(), screen.top(), screen.bottom() + 1)};
    }
    return {placeBeside(anchor.left(), anchor.right() + 1, menu.width(), screen.left(), screen.right() + 1),
        placeAlong(along.top(), along.bottom() + 1, menu.height(), screen.top(), screen.bottom() + 1)};
}

} // namespace tickwell
