#include "app/ControllerState.h"

namespace tickwell {

QHash<QString, QString> gPreviousClose;

} // namespace tickwell
