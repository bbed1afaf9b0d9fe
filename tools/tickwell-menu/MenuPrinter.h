#pragma once

#include "platform/MenuItem.h"
#include "platform/StatusItem.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <optional>

namespace tickwell {

// The status item and its menu as the headless tool prints them.
QJsonObject StatusItemJson(const StatusItem &item);
QJsonArray MenuJson(const Menu &menu);
QString MenuText(const StatusItem &item, const Menu &menu);

// The status item after a ticker step, with the seconds until the ticker's next step (nothing
// when the ticker has no timer).
QJsonObject TickerStepJson(const StatusItem &item, std::optional<double> nextFireIn);
QString TickerStepText(int step, const StatusItem &item, std::optional<double> nextFireIn);

} // namespace tickwell
