#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a fresh machine and runs Ampvane's main job: the desktop workbench when a display is
# available, otherwise the report of the built-in sample project printed to the terminal. Only what the
# programs need is installed and built; scripts/test.sh adds the rest.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${AMPVANE_BUILD_DIR:-build}
scripts/setup.sh --programs "$build" >&2
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/app/ampvane" ] && [ "${AMPVANE_HEADLESS:-0}" != 1 ]; then
  exec "$build/app/ampvane" "$@"
fi
exec "$build/app/ampvane-cli" report "$@"
