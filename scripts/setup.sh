#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what a fresh Debian 12 machine lacks for building Ampvane, then configures and builds it.
# Usage: scripts/setup.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libqt6opengl6-dev qt6-charts-dev
  qt6-svg-dev libcurl4-openssl-dev libpng-dev libjpeg-dev zlib1g-dev libgtest-dev libbenchmark-dev imagemagick
  xvfb xauth fonts-dejavu-core python3-dbfread libcli11-dev nlohmann-json3-dev
  libcpp-httplib-dev libsqlite3-dev libreoffice-calc-nogui libreoffice-writer-nogui poppler-utils)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=${1:-build}
shift || true
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build"
