#pragma once

#include <QPoint>
#include <QRect>

#include <optional>

namespace tickwell {

// The rectangle of the top-level window at a point of the X screen (the panel a click came
// from), in global logical pixels; none off X11 or where only the root window is.
std::optional<QRect> X11TopLevelWindowAt(QPoint global);

// Whether a pointer button is held down on the X server (false off X11).
bool X11PointerButtonDown();

} // namespace tickwell
