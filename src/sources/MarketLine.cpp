#include "sources/MarketLine.h"

#include "sources/PageCutting.h"

namespace tickwell {

Direction DirectionOfChangeText(QStringView change)
{
    if (change.startsWith(u'+'))
        return Direction::Up;
    if (change.startsWith(u'-'))
        return Direction::Down;
    return Direction::Unchanged;
}

void SetDirectionImage(MenuItem &item, const ControllerState &state, Direction direction)
{
    switch (direction) {
    case Direction::Up:
        item.image = kUpImageName;
        item.imageData = state.m_upImage;
        break;
    case Direction::Down:
        item.image = kDownImageName;
        item.imageData = state.m_downImage;
        break;
    case Direction::Unchanged:
        item.image = kSpacerImageName;
        item.imageData = state.m_spacerImage;
        break;
    }
}

std::optional<QColor> DirectionColor(const ControllerState &state, Direction direction)
{
    switch (direction) {
    case Direction::Up:
        return state.m_upColor;
    case Direction::Down:
        return state.m_downColor;
    case Direction::Unchanged:
        break;
    }
    return std::nullopt;
}

MenuItem MakeMarketLine(const ControllerState &state, const QString &plainTitle, Direction direction,
                        const QString &change, const QString &percent, const QString &action)
{
    MenuItem item = MenuItem::make(plainTitle, action);
    std::vector<StyledRun> runs{StyledRun{plainTitle, kLinePointSize, std::nullopt}};
    if (direction != Direction::Unchanged)
        runs.push_back(StyledRun{FillFormat(u" (%@, %@)", {change, percent}), kLinePointSize,
                                 DirectionColor(state, direction)});
    item.styledTitle = std::move(runs);
    SetDirectionImage(item, state, direction);
    return item;
}

MenuItem MakeMarketLine(const ControllerState &state, const MarketQuote &quote, const QString &action)
{
    return MakeMarketLine(state, quote.title, DirectionOfChangeText(quote.change), quote.change, quote.percent, action);
}

} // namespace tickwell
