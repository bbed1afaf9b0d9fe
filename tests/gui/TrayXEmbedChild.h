#pragma once

#include <QString>

namespace tickwell::testing {

// gui_tests run with this flag and a PNG path: shows the tray icon on the X display it is given
// (which must have an XEmbed tray), opens its menu with a click, checks what was drawn and saves
// a screenshot. Returns 0 when all went well.
inline constexpr const char *kTrayXEmbedChildFlag = "--tray-xembed-child";
int RunTrayXEmbedChild(const QString &pngPath);

} // namespace tickwell::testing
