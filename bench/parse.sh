#!/usr/bin/env bash
# List parser benchmark: a list of 1,000,000 entries (about 60 MB, names
# like dir123\file456789.dat) is loaded by the win64 build under Wine with
# LoadCheckSumList in mode 1, and in the same program read line by line
# with std::getline into a vector of strings (best of 5 each, from the page
# cache). Prints both times, the tree's process memory per entry, and last
# the ratio getline's time over the loader's, above 1 when the loader is
# faster.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TALLIX_BUILD_ROOT="${TALLIX_BUILD_ROOT:-$root/build}"
"$root/scripts/setup" --quiet win64
# Only the benchmark's own target is built: it is not part of the default build.
cmake --build "$TALLIX_BUILD_ROOT/win64" --target parse_bench --parallel 2 >/dev/null

work=$(mktemp -d /tmp/tallix-parse-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
entries=1000000
awk -v n=$entries 'BEGIN {
    for (i = 0; i < n; ++i)
        printf "%08X%08X%08X%08X *dir%03d\\file%06d.dat\r\n", i, n - i, i * 7, i * 13, i % 1000, i
}' >"$work/list.md5"
cat "$work/list.md5" >/dev/null

out=$("$root/scripts/wine-run" "$TALLIX_BUILD_ROOT/win64/parse_bench.exe" "Z:${work//\//\\}\\list.md5" 5 </dev/null | tr -d "\r")
value() { awk -v k="$1" '$1 == k { print $2 }' <<<"$out"; }
if [ "$(value entries)" != "$entries" ] || [ "$(value lines)" != "$entries" ]; then
    echo "loaded $(value entries) entries and read $(value lines) lines, expected $entries" >&2
    exit 1
fi

printf 'list: %d entries, %d bytes\n' "$entries" "$(stat -c %s "$work/list.md5")"
printf 'LoadCheckSumList: %8.4f s  %10.0f entries per second\n' "$(value loader_seconds)" \
    "$(awk -v t="$(value loader_seconds)" -v n=$entries 'BEGIN { print n / t }')"
printf 'std::getline:     %8.4f s  %10.0f lines per second\n' "$(value getline_seconds)" \
    "$(awk -v t="$(value getline_seconds)" -v n=$entries 'BEGIN { print n / t }')"
printf 'tree memory per entry: %s bytes, %s beyond the name\n' "$(value bytes_per_entry)" \
    "$(value bytes_per_entry_beyond_name)"
printf 'parse ratio vs getline: %.2f\n' \
    "$(awk -v g="$(value getline_seconds)" -v l="$(value loader_seconds)" 'BEGIN { print g / l }')"
