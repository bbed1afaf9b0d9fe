#!/usr/bin/env bash
# Memory footprint of the tray app, refreshed and after saving one headline, with the web
# engine's process beside it. Runs on a virtual X server with a private session bus.
#   bench/footprint.sh [--baseline path/to/an/older/tickwell]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset "${TICKWELL_PRESET:-default}" --target tickwell tickwell-archiver tickwell-feed tickwell-defaults tickwell-footprint >/dev/null
exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- build/bin/tickwell-footprint "$@"
