#!/usr/bin/env bash
# unicode-tables.sh: fails when src/system/UnicodeTables.cpp is not what its
# generator makes of Debian's unicode-data, and shows the difference.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
generated=$(mktemp)
trap 'rm -f "$generated"' EXIT
python3 "$root/tools/gen_unicode_case.py" /usr/share/unicode/UnicodeData.txt "$generated" >/dev/null
diff -u "$root/src/system/UnicodeTables.cpp" "$generated"
