#!/usr/bin/env bash
# Scanner benchmark: a tree of 100,000 empty files in 1,000 folders is
# scanned by the win64 build under Wine (recursive, masked files kept, a
# mask that passes half the files; best of 3 runs in one process), and in
# the same run listed natively by find with size and time of every entry
# (best of 3). Prints both, the same walk with the bare file wrappers
# inside the scanning process (the scanner's time over it), that walk
# writing the tree's bytes per entry to fresh memory (what any program that
# keeps such a tree pays for its memory here), the tree's process memory
# per node, and last the ratio of the files per second.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TALLIX_BUILD_ROOT="${TALLIX_BUILD_ROOT:-$root/build}"
"$root/scripts/setup" --quiet win64
# Only the benchmark's own target is built: it is not part of the default build.
cmake --build "$TALLIX_BUILD_ROOT/win64" --target scan_bench --parallel 2 >/dev/null

tree=$(mktemp -d /tmp/tallix-scan-bench.XXXXXX)
trap 'rm -rf "$tree"' EXIT
for d in $(seq -w 0 999); do
    mkdir "$tree/d$d"
    (cd "$tree/d$d" && touch f{00..99}.dat)
done
files=100000

best_find=1000
for _ in 1 2 3; do
    start=$(date +%s.%N)
    find "$tree" -printf '%s %T@\n' >/dev/null
    end=$(date +%s.%N)
    best_find=$(awk -v a="$best_find" -v t="$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')" \
        'BEGIN { print (t < a ? t : a) }')
done

out=$("$root/scripts/wine-run" "$TALLIX_BUILD_ROOT/win64/scan_bench.exe" "Z:${tree//\//\\}" 3 </dev/null | tr -d "\r")
value() { awk -v k="$1" '$1 == k { print $2 }' <<<"$out"; }
scan=$(value seconds)
if [ "$(value files)" != "$files" ]; then
    echo "scanner found $(value files) files, expected $files" >&2
    exit 1
fi

printf 'find:    %8.4f s  %10.0f files per second\n' "$best_find" "$(awk -v t="$best_find" -v n=$files 'BEGIN { print n / t }')"
printf 'scanner: %8.4f s  %10.0f files per second (%s passing the mask)\n' "$scan" \
    "$(awk -v t="$scan" -v n=$files 'BEGIN { print n / t }')" "$(value passing)"
printf 'bare enumeration in the same process: %8.4f s\n' "$(value enumeration_seconds)"
printf 'scan ratio vs bare enumeration: %.2f\n' \
    "$(awk -v s="$scan" -v e="$(value enumeration_seconds)" 'BEGIN { print s / e }')"
printf 'bare enumeration keeping the tree'\''s bytes per entry in fresh memory: %8.4f s\n' "$(value keeping_seconds)"
printf 'scan ratio vs enumeration keeping the same memory: %.2f\n' \
    "$(awk -v s="$scan" -v e="$(value keeping_seconds)" 'BEGIN { print s / e }')"
printf 'scanner tree bytes per node: %s (%s nodes)\n' "$(value bytes_per_node)" "$(value nodes)"
printf 'scan files per second ratio vs find: %.2f\n' "$(awk -v f="$best_find" -v s="$scan" 'BEGIN { print f / s }')"
