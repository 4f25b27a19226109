#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a configured build folder, unpacks it into a temporary root and runs the
# programs from there (no library path: the package must be complete as it is), then checks the package
# with lintian, the desktop entry, the metainfo and the systemd unit with their validators.
# Usage: scripts/package-check.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

rm -f "$build"/ampvane_*.deb
cmake --build "$build" --target package
debs=("$build"/ampvane_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || { echo "package-check: expected one ampvane_*.deb in $build" >&2; exit 1; }
deb=${debs[0]}
echo "Package: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
# Libraries opened only when needed are not seen by dpkg-shlibdeps, so they are named by hand.
for library in libcurl4 libcairo2; do
  dpkg-deb --field "$deb" Depends | tr ',' '\n' | grep -q "^ *$library\b" ||
    { echo "package-check: the package does not depend on $library" >&2; exit 1; }
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
for f in usr/bin/ampvane usr/bin/ampvane-cli usr/bin/ampvane-server usr/share/ampvane/Initial/MOTOR8.DBF \
  usr/share/ampvane/Initial/Tips.lst usr/share/applications/ampvane.desktop \
  usr/share/icons/hicolor/scalable/apps/ampvane.svg usr/share/icons/hicolor/48x48/apps/ampvane.png \
  usr/share/metainfo/example.ampvane.Ampvane.metainfo.xml usr/share/doc/ampvane/copyright \
  usr/share/doc/ampvane/html/Ampvane_1.htm usr/share/man/man1/ampvane.1.gz usr/share/man/man1/ampvane-cli.1.gz \
  usr/share/man/man1/ampvane-server.1.gz usr/lib/systemd/system/ampvane-server.service; do
  [ -e "$root/$f" ] || { echo "package-check: the package lacks /$f" >&2; exit 1; }
done

# The programs as installed: the report of the built-in sample, the versions, and a first start that
# copies the shipped tables from /usr/share/ampvane/Initial into an empty data folder.
export AMPVANE_DATA_DIR="$root/data"
"$root/usr/bin/ampvane-cli" report > "$root/report.txt"
grep -q '^Static Analysis' "$root/report.txt" || { echo "package-check: the sample report is missing" >&2; exit 1; }
head -5 "$root/report.txt"
"$root/usr/bin/ampvane-server" --version
"$root/usr/bin/ampvane" --version | grep -q 'GPL version 3 or later'
projects=$("$root/usr/bin/ampvane-cli" project list)
[ -n "$projects" ] || { echo "package-check: no shipped projects found from the unpacked package" >&2; exit 1; }
[ -f "$AMPVANE_DATA_DIR/Tips.lst" ] || { echo "package-check: the shipped lists were not copied" >&2; exit 1; }
# A picture from the unpacked program: it opens the drawing library only then.
"$root/usr/bin/ampvane-cli" wiring -o "$root/wiring.png" -- '-1;3;2;'
[ "$(head -c 4 "$root/wiring.png" | tail -c 3)" = PNG ] || { echo "package-check: no wiring picture was drawn" >&2; exit 1; }
# One transfer between the unpacked programs: the client opens the network library only then.
coproc exchange { exec "$root/usr/bin/ampvane-server" --data "$root/exchange" --listen 127.0.0.1:0; }
address=""
while [ -z "$address" ] && read -r line <&"${exchange[0]}"; do address=$(sed -n 's/^Listening on //p' <<<"$line"); done
online=0
"$root/usr/bin/ampvane-cli" contributed motor --server "$address" --time-limit 30 || online=$?
kill "$exchange_PID"
[ $online = 0 ] || { echo "package-check: the unpacked programs could not exchange data" >&2; exit 1; }

lintian --fail-on error "$deb"
desktop-file-validate "$root/usr/share/applications/ampvane.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/example.ampvane.Ampvane.metainfo.xml"
if command -v systemd-analyze >/dev/null; then
  # The unit as shipped, but pointing at the unpacked program, so that its existence is checked too.
  mkdir "$root/unit"
  sed "s#=/usr/bin/#=$root/usr/bin/#" "$root/usr/lib/systemd/system/ampvane-server.service" \
    > "$root/unit/ampvane-server.service"
  systemd-analyze verify --man=no "$root/unit/ampvane-server.service"
fi
echo "package-check: $deb is complete and valid"
