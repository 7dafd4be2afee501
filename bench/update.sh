#!/usr/bin/env bash
# Updating a list: 20,000 files of 4 KiB in 100 folders are listed in one
# list, then 200 new files are added. In one run: the program's update of
# the list (/U), which reads only the new files, against its full
# calculation of the same tree. Each update starts from the list as it was
# before the new files (copied back with its time). Each time is the best
# of 3 runs, with the files in the page cache.
# The last line is the update's time over the full calculation's: below 1
# when the update is faster.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup" --quiet win64

work=$(mktemp -d /tmp/tallix-update-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
source "$root/bench/timing.bash"

echo "Creating the files in $work..." >&2
small_tree "$work/tree"
tree=$(winpath "$work/tree")
"$root/scripts/tallix" "$tree" "$(winpath "$work/listed.md5")" /R /S >/dev/null
# The list is newer than every file it names; the new files come after it.
sleep 1
for d in $(seq -w 0 99); do
    head -c $((2 * 4096)) /dev/urandom | split -b 4096 -d -a 1 - "$work/tree/d$d/new"
done
find "$work/tree" -type f -print0 | xargs -0 cat >/dev/null

calculate() { "$root/scripts/tallix" "$tree" "$(winpath "$work/full.md5")" /R /S >/dev/null; }
best full calculate
status=0
update() {
    cp -p "$work/listed.md5" "$work/list.md5"
    "$root/scripts/tallix" "$tree" "$(winpath "$work/list.md5")" /R /U >"$work/update.out" ||
        status=$?
}
best update update
if [ "$status" -ne 0 ] || ! grep -q "Lists updated - 1: 200 entries added, 0 updated." \
    "$work/update.out" || ! grep -q "  20000 files not read" "$work/update.out"; then
    echo "the update did not read only the new files (status $status):" >&2
    cat "$work/update.out" >&2
    exit 1
fi
if ! diff <(grep -v '^;' "$work/full.md5" | sort) <(grep -v '^;' "$work/list.md5" | sort) >/dev/null; then
    echo "the updated list differs from the full calculation's" >&2
    exit 1
fi

echo "20,000 listed files and 200 new: full calculation ${full_time} s, update ${update_time} s"
ratio "update ratio vs full calculation" "$update_time" "$full_time"
