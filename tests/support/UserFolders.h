#pragma once

namespace tickwell::testing {

// Points XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and XDG_DOWNLOAD_DIR at a temporary
// folder of this test process, so no test reads or writes the user's own settings, logs or
// downloads. The folder is removed when the process ends. Tests that need their own folders
// still set them.
void IsolateUserFolders();

} // namespace tickwell::testing
