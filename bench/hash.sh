#!/usr/bin/env bash
# Hashing files from the page cache: the program (64-bit build under Wine,
# screen mode, output to a file) against md5sum run natively, in one run on
# the same files: (a) one 1 GiB file, (b) 20,000 files of 4 KiB in 100
# folders. Both must print the same digests. The program's times include
# starting it under Wine, which is also shown alone (a run on one tiny
# file). Peak memory is the largest resident size seen while the program
# runs. The last line is md5sum's time over the program's for the large
# file, above 1 when the program is faster.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup" --quiet win64

work=$(mktemp -d /tmp/tallix-hash-bench.XXXXXX)
# The memory watcher stops when it sees the stop mark; then the files go.
trap 'touch "$work/stop"; wait; rm -rf "$work"' EXIT
winpath() { echo "Z:${1//\//\\}"; }
now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

echo "Creating the files in $work..." >&2
mkdir -p "$work/large" "$work/small"
head -c 1G /dev/urandom >"$work/large/large.bin"
for d in $(seq -w 0 99); do
    mkdir "$work/small/d$d"
    head -c $((200 * 4096)) /dev/urandom | split -b 4096 -d -a 3 - "$work/small/d$d/f"
done
# Into the page cache, and Wine's server started, before anything is timed.
cat "$work/large/large.bin" >/dev/null
find "$work/small" -type f -print0 | xargs -0 cat >/dev/null
mkdir "$work/warm" && echo warm >"$work/warm/w.txt"
"$root/scripts/tallix" "$(winpath "$work/warm")" /S >/dev/null
start=$(now)
"$root/scripts/tallix" "$(winpath "$work/warm")" /S >/dev/null
startup=$(seconds "$start" "$(now)")

# Largest resident size (KiB) of the program while it runs, sampled.
watch_peak() {
    local out=$1 peak=0 pid hwm
    while [ ! -f "$work/stop" ]; do
        for pid in $(pgrep -f "tallix.exe.*${work//\//\\\\}" || true); do
            hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
            [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
        done
        echo "$peak" >"$out"
        sleep 0.02
    done
}

# run_tallix NAME FOLDER: times the program on FOLDER; sets tallix_time and peak.
run_tallix() {
    # A source changed meanwhile is built now, not inside the timed run.
    "$root/scripts/setup" --quiet win64
    rm -f "$work/stop"
    watch_peak "$work/$1.peak" &
    local watcher=$! start
    start=$(now)
    "$root/scripts/tallix" "$(winpath "$2")" /R /S >"$work/$1.tallix.out"
    tallix_time=$(seconds "$start" "$(now)")
    touch "$work/stop"
    wait "$watcher"
    peak=$(cat "$work/$1.peak")
}

# run_md5sum NAME FOLDER: times md5sum on every file below FOLDER; sets md5sum_time.
run_md5sum() {
    local start
    start=$(now)
    (cd "$2" && find . -type f -print0 | xargs -0 md5sum) >"$work/$1.md5sum.out"
    md5sum_time=$(seconds "$start" "$(now)")
}

# same_digests NAME: both outputs as "relative/name digest", sorted, compared.
same_digests() {
    local count
    tr -d '\r' <"$work/$1.tallix.out" |
        sed -nE 's/^(.+) ([0-9A-F]{32})$/\1 \2/p' |
        awk '{ d = tolower($NF); $NF = ""; sub(/ $/, ""); gsub(/\\/, "/"); print $0 " " d }' |
        sort >"$work/$1.tallix.sorted"
    sed -E 's/^([0-9a-f]{32})  \.\/(.*)$/\2 \1/' "$work/$1.md5sum.out" | sort >"$work/$1.md5sum.sorted"
    count=$(wc -l <"$work/$1.md5sum.sorted")
    if ! cmp -s "$work/$1.tallix.sorted" "$work/$1.md5sum.sorted"; then
        echo "$1: the digests differ from md5sum's:" >&2
        diff "$work/$1.tallix.sorted" "$work/$1.md5sum.sorted" | head -5 >&2
        exit 1
    fi
    echo "$1: $count digests equal md5sum's"
}

run_md5sum large "$work/large"
run_tallix large "$work/large"
large_md5sum=$md5sum_time large_tallix=$tallix_time large_peak=$peak
same_digests large

run_md5sum small "$work/small"
run_tallix small "$work/small"
small_md5sum=$md5sum_time small_tallix=$tallix_time small_peak=$peak
same_digests small

echo "tallix start-up under Wine (one tiny file): ${startup} s"
echo "large file (1 GiB): tallix ${large_tallix} s, md5sum ${large_md5sum} s, tallix peak memory ${large_peak} KiB"
# The program's own figure: its reading phase alone, without the start-up.
echo "  tallix's reading phase: $(tr -d '\r' <"$work/large.tallix.out" | sed -n 's/^ *Average speed //p')"
echo "small files (20,000 x 4 KiB): tallix ${small_tallix} s, md5sum ${small_md5sum} s, tallix peak memory ${small_peak} KiB"
awk -v m="$small_md5sum" -v t="$small_tallix" \
    'BEGIN { printf "small files throughput ratio vs md5sum: %.2f\n", m / t }'
awk -v m="$large_md5sum" -v t="$large_tallix" \
    'BEGIN { printf "large file throughput ratio vs md5sum: %.2f\n", m / t }'
