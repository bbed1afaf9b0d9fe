#pragma once

#include "platform/Desktop.h"
#include "platform/MenuItem.h"
#include "text/CString256.h"

namespace tickwell {

// Shows the log file of that name in the desktop's default viewer; when there is no such file,
// an alert says so and offers the preferences (where logging is switched on); when no viewer
// could open it, an alert says that instead of failing silently.
void OpenConsoleLog(const CString256 &fileName, Desktop &desktop);

// "Open Log" and the logo item: the log of the symbol in the sender's tool tip.
void selItemOpenConsoleLog(const MenuItem &sender, Desktop &desktop);

} // namespace tickwell
