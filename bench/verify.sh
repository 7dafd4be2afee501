#!/usr/bin/env bash
# Verifying files from the page cache: 20,000 files of 4 KiB in 100 folders,
# listed in one list that the program writes. In one run: the program's
# calculation of that list against md5sum hashing the same files, and the
# program's verification of it against `md5sum -c` on the same list (with
# "\" turned into "/"). Both verifications must find every file unchanged.
# Each time is the best of 3 runs.
# The last line is md5sum -c's time over the program's verification, above
# 1 when the program is faster; the line before gives the calculation's
# ratio on the same tree, which the verification should not fall behind.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup" --quiet win64

work=$(mktemp -d /tmp/tallix-verify-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
source "$root/bench/timing.bash"

echo "Creating the files in $work..." >&2
small_tree "$work/small"
find "$work/small" -type f -print0 | xargs -0 cat >/dev/null
"$root/scripts/tallix" "$(winpath "$work/small/d00")" /S >/dev/null

list="$work/small/small.md5"
calculate() {
    "$root/scripts/tallix" "$(winpath "$work/small")" "$(winpath "$list")" /R /S >"$work/calc.out"
}
best calc calculate
hash_all() { (cd "$work/small" && find . -type f ! -name small.md5 -print0 | xargs -0 md5sum) >/dev/null; }
best md5sum hash_all

grep -v '^;' "$list" | tr -d '\r' | tr '\\' '/' >"$work/for-md5sum.md5"
check() { (cd "$work/small" && md5sum -c --quiet "$work/for-md5sum.md5"); }
best check check
status=0
verify() {
    "$root/scripts/tallix" "$(winpath "$work/small")" "$(winpath "$list")" /R /V /S \
        >"$work/verify.out" || status=$?
}
best verify verify
if [ "$status" -ne 0 ] || ! grep -q "Files not changed" "$work/verify.out"; then
    echo "the verification did not pass (status $status):" >&2
    cat "$work/verify.out" >&2
    exit 1
fi
entries=$(grep -vc '^;' "$list")

echo "calculation of $entries files: tallix ${calc_time} s, md5sum ${md5sum_time} s"
echo "verification of $entries files: tallix ${verify_time} s, md5sum -c ${check_time} s"
ratio "calc ratio vs md5sum" "$md5sum_time" "$calc_time"
# Above 1 when verifying the tree is faster than calculating it.
ratio "verify ratio vs calculation" "$calc_time" "$verify_time"
ratio "verify ratio vs md5sum -c" "$check_time" "$verify_time"
