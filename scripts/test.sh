#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a fresh machine (packages, configure, build) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${AMPVANE_BUILD_DIR:-build}
scripts/setup.sh "$build"
# Window tests run offscreen; xvfb is only needed for manual runs.
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
