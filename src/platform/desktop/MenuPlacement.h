#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace tickwell {

// Where a menu opened from a panel goes: beside the panel at the clicked spot (below or above a
// horizontal panel, right or left of a vertical one), flipped to the other side or edge where it
// would leave the screen of the click, and kept within that screen. `panel` is the panel's (or
// the icon's) rectangle; without one, or when it is no panel (covers much of the screen), the
// menu opens at the click as a context menu does. All in global logical pixels.
QPoint MenuPosition(QPoint click, std::optional<QRect> panel, QSize menu, QRect screen);

} // namespace tickwell
