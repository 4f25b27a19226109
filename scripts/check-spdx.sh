#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file of the repository lacks its licence line near the top.
set -euo pipefail
cd "$(dirname "$0")/.."
missing=0
while IFS= read -r f; do
  if ! head -3 "$f" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later'; then
    echo "no SPDX licence line: $f" >&2
    missing=1
  fi
done < <(git ls-files '*.cpp' '*.h' '*.py' '*.sh' '*.cmake' 'CMakeLists.txt' '*/CMakeLists.txt' .ci/run 2>/dev/null \
  || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name CMakeLists.txt \) -print)
exit $missing
