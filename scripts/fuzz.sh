#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds every libFuzzer target in fuzz/ with clang and its sanitizers, runs each for SECONDS
# (default 60) from its seed corpus in fuzz/corpus/<name>/, and exits non-zero on any finding.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
# New inputs found go to build-fuzz/corpus/<name>/ (not the seed folder); a crashing input is left in
# build-fuzz/findings/<name>/ to be kept as a seed once it is mended.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
case "$seconds" in '' | *[!0-9]*) echo "fuzz.sh: SECONDS must be a whole number, not \"$seconds\"" >&2; exit 2 ;; esac

packages=(clang libclang-rt-14-dev cmake ninja-build)
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

build=${AMPVANE_FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAMPVANE_FUZZ=ON \
  ${AMPVANE_FUZZ_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --target ampvane_fuzz

if [ $# -gt 0 ]; then
  names=("$@")
else
  names=()
  for source in fuzz/*_fuzz.cpp; do
    base=$(basename "$source" .cpp)
    names+=("${base%_fuzz}")
  done
fi

failed=()
summary=()
for name in "${names[@]}"; do
  program="$build/fuzz/${name}_fuzz"
  [ -x "$program" ] || { echo "fuzz.sh: no fuzz target \"$name\"" >&2; exit 2; }
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  log="$build/logs/$name.log"
  rm -rf "$findings"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  echo "== $name: $seconds s"
  status=0
  ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/scripts/leak-suppressions.txt" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$program" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)
  if [ "$status" -ne 0 ] || ls "$findings" | grep -q .; then
    failed+=("$name")
    summary+=("$name: ${runs:-?} executions, ${cov:-no coverage line}, FINDING (see $log and $findings)")
    tail -40 "$log"
  else
    summary+=("$name: ${runs:-?} executions, ${cov:-no coverage line}, no findings")
  fi
done

echo
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: findings in ${failed[*]}" >&2
  exit 1
fi
