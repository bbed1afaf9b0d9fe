#pragma once

#include "platform/MenuItem.h"
#include "platform/StatusItem.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

namespace tickwell {

// The status item and its menu as the headless tool prints them.
QJsonObject StatusItemJson(const StatusItem &item);
QJsonArray MenuJson(const Menu &menu);
QString MenuText(const StatusItem &item, const Menu &menu);

} // namespace tickwell
