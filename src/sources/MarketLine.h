#pragma once

#include "app/ControllerState.h"
#include "platform/MenuItem.h"

#include <QString>
#include <QStringView>

namespace tickwell {

enum class Direction { Up, Down, Unchanged };

inline const QString kUpImageName = QStringLiteral("menuitem_up_g.tif");
inline const QString kDownImageName = QStringLiteral("menuitem_down_r.tif");
inline const QString kSpacerImageName = QStringLiteral("menuitem_spacer.tif");
constexpr double kLinePointSize = 14.0;

// The market sections read the direction from the change text: "+" up, "-" down, else unchanged.
Direction DirectionOfChangeText(QStringView change);

// The arrow (or blank) image of a line, by direction.
void SetDirectionImage(MenuItem &item, const ControllerState &state, Direction direction);

// The colour of rising or falling values; none for an unchanged value or an unset colour.
std::optional<QColor> DirectionColor(const ControllerState &state, Direction direction);

// A line of the index and metal sections: the plain title at 14 points and, when the value
// moved, " (change, percent)" in the direction's colour; the direction's image.
MenuItem MakeMarketLine(const ControllerState &state, const QString &plainTitle, Direction direction,
                        const QString &change, const QString &percent, const QString &action);

// The market line of a quote of the snapshot: its direction read from its change text.
MenuItem MakeMarketLine(const ControllerState &state, const MarketQuote &quote, const QString &action);

} // namespace tickwell
