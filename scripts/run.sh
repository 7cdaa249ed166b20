#!/usr/bin/env bash
# Sets up and builds the program, then starts the desktop program. Without a display it starts
# one under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh default
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: starting the program under Xvfb."
  exec xvfb-run -a build/default/apps/moonhaven "$@"
fi
exec build/default/apps/moonhaven "$@"
