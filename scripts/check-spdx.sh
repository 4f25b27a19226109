#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file of the repository lacks its licence line in its first three lines.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' '*.py' '*.sh' '*.cmake' 'CMakeLists.txt' '*/CMakeLists.txt' .ci/run |
  xargs -0 awk '
    FNR == 1 { seen[FILENAME] = 0 }
    FNR <= 3 && /SPDX-License-Identifier: GPL-3\.0-or-later/ { seen[FILENAME] = 1; nextfile }
    FNR > 3 { nextfile }
    END {
      for (f in seen) if (!seen[f]) { print "no SPDX licence line: " f > "/dev/stderr"; bad = 1 }
      exit bad
    }'
