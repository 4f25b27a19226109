#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what a fresh Debian 12 machine lacks for building Ampvane, then configures and builds it.
# Usage: scripts/setup.sh [--programs] [build-dir] [extra cmake arguments...]
#   --programs  only what building and running the three programs needs, and a Release build of the
#               programs alone (no tests, benchmarks or manual pages), with precompiled headers.
#   otherwise   also what the tests, benchmarks and the package checks need, and every target.
set -euo pipefail
cd "$(dirname "$0")/.."

# Building and running the programs.
program_packages=(build-essential cmake ninja-build pkg-config ccache libcairo2-dev qt6-base-dev libqt6opengl6-dev
  qt6-charts-dev qt6-svg-dev libcurl4-openssl-dev libpng-dev libjpeg-dev zlib1g-dev libcli11-dev
  nlohmann-json3-dev libboost-dev libsqlite3-dev fonts-dejavu-core)
# Tests, benchmarks, manual pages and the package checks.
test_packages=(libgtest-dev libbenchmark-dev imagemagick xvfb xauth python3-dbfread libreoffice-calc-nogui
  libreoffice-writer-nogui poppler-utils python3-jsonschema help2man lintian desktop-file-utils appstream)

programs_only=0
if [ "${1:-}" = "--programs" ]; then
  programs_only=1
  shift
fi
packages=("${program_packages[@]}")
[ $programs_only = 1 ] || packages+=("${test_packages[@]}")

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
# ccache makes every build after the first one quick. The precompiled headers are used from its cache too.
export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}
launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Both kinds of build use the same folder, so each names every setting the other changes.
if [ $programs_only = 1 ]; then
  # -O2 as the tests are built (CMake's Release would use -O3: slower to compile, and GCC 12 warns wrongly there).
  options=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
    -DAMPVANE_BUILD_TESTS=OFF -DAMPVANE_BUILD_BENCH=OFF -DAMPVANE_MAN_PAGES=OFF -DAMPVANE_PCH=ON)
else
  options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DAMPVANE_BUILD_TESTS=ON -DAMPVANE_BUILD_BENCH=ON -DAMPVANE_MAN_PAGES=ON
    -DAMPVANE_PCH=OFF)
fi
cmake -S . -B "$build" -G Ninja "${launcher[@]}" "${options[@]}" "$@"
cmake --build "$build"
