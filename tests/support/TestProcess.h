#pragma once

namespace tickwell::testing {

// What every test program does first, whoever runs it and wherever:
// - XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and XDG_DOWNLOAD_DIR point at a temporary
//   folder of this process (removed when it ends), so no test touches the user's own settings,
//   logs or downloads; tests that need their own folders still set them;
// - numbers and dates are those of United States English in New York (LC_ALL, TZ), as the
//   expected texts are written; tests of other locales and zones set theirs;
// - Qt draws offscreen unless a platform was chosen (the GUI tests under Xvfb choose xcb).
void PrepareTestProcess();

} // namespace tickwell::testing
