#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads every shipped table in BUILD_DIR/app/Initial with an independent reader (python3-dbfread) and
# checks record counts, columns and every value against the dump of our own engine.
# Usage: scripts/check-tables.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: scripts/check-tables.sh BUILD_DIR}
initial="$build/app/Initial"
dump="$build/data/initial/make_initial_tables"
# dbfread is a Debian package: use the system interpreter it was installed for.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
[ -x "$dump" ] || { echo "check-tables: $dump is missing (build first)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for table in MOTOR8 CELL8 DRIVE8 FANDRIV8 ESC8 FILTER8 AIRFRAM8 AMPVANE8; do
  file="$initial/$table.DBF"
  if [ ! -f "$file" ]; then echo "check-tables: $file is missing" >&2; status=1; continue; fi
  "$dump" --dump "$file" > "$work/$table.dump.txt"
  "$python" - "$file" "$work/$table.dump.txt" <<'PY' || status=1
import sys
from dbfread import DBF

path, dump_path = sys.argv[1], sys.argv[2]
with open(dump_path, encoding='utf-8') as f:
    lines = f.read().split('\n')
if lines and lines[-1] == '':
    lines.pop()
columns = [c.split(':') for c in lines[0].split('\t')]
ours = [line.split('\t') for line in lines[1:]]
table = DBF(path, encoding='cp1252', char_decode_errors='strict')
theirs = list(table)
problems = []
names = [f.name for f in table.fields]
if names != [c[0] for c in columns]:
    problems.append('columns differ: %r vs %r' % (names, [c[0] for c in columns]))
for f, c in zip(table.fields, columns):
    if (f.type, f.length, f.decimal_count) != (c[1], int(c[2]), int(c[3])):
        problems.append('column %s: %s(%d,%d) vs %s(%s,%s)' % (f.name, f.type, f.length, f.decimal_count, *c[1:]))
if len(theirs) != len(ours):
    problems.append('%d records read by dbfread, %d by us' % (len(theirs), len(ours)))
for number, (record, mine) in enumerate(zip(theirs, ours), 1):
    for f, value in zip(table.fields, mine):
        other = record[f.name]
        if f.type == 'N':
            same = (other is None and value == '') or (other is not None and value != '' and
                                                          abs(float(value) - float(other)) <= 1e-9 * max(1, abs(other)))
        elif f.type == 'L':
            same = (value == 'Yes') == bool(other)
        else:
            same = (other or '') == value
        if not same:
            problems.append('record %d, %s: dbfread %r, ours %r' % (number, f.name, other, value))
if problems:
    print('%s:' % path, *problems[:20], sep='\n  ', file=sys.stderr)
    sys.exit(1)
print('%s: %d records, %d columns agree' % (path, len(ours), len(columns)))
PY
done
exit $status
