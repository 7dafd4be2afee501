#!/usr/bin/env bash
# Hashing files from the page cache, in one run on the same files: the
# program (64-bit build started directly through scripts/wine-run, screen
# mode, output to a file), the floor (bench/HashFloorWin32.cpp: the least
# any Windows checksum program does under Wine, with the program's MD5) and
# md5sum run natively, on (a) one 1 GiB file, (b) 10,000 files of 4 KiB
# in 50 folders, (c) 256 files of 4 MiB, which the program hashes several at
# a time in vector lanes, (d) one tiny file (the start-up). Every run must print
# md5sum's digests. Each time is the best of a few runs; peak memory is the
# largest resident size of each run. The last line is md5sum's time over
# the program's for the large file, above 1 when the program is faster.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TALLIX_BUILD_ROOT="${TALLIX_BUILD_ROOT:-$root/build}"
"$root/scripts/setup" --quiet win64
# Only the floor's own target is built: it is not part of the default build.
cmake --build "$TALLIX_BUILD_ROOT/win64" --target hash_floor --parallel 2 >/dev/null
tallix_exe="$TALLIX_BUILD_ROOT/win64/tallix.exe"
floor_exe="$TALLIX_BUILD_ROOT/win64/hash_floor.exe"
runs=3

work=$(mktemp -d /tmp/tallix-hash-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:${1//\//\\}"; }

echo "Creating the files in $work..." >&2
mkdir -p "$work/large" "$work/small" "$work/medium" "$work/tiny"
head -c 1G /dev/urandom >"$work/large/large.bin"
head -c 1G /dev/urandom | split -b 4M -d -a 3 - "$work/medium/m"
for d in $(seq -w 0 49); do
    mkdir "$work/small/d$d"
    head -c $((200 * 4096)) /dev/urandom | split -b 4096 -d -a 3 - "$work/small/d$d/f"
done
echo tiny >"$work/tiny/t.txt"
# Into the page cache, and Wine's server started, before anything is timed.
cat "$work/large/large.bin" "$work/medium/"* >/dev/null
find "$work/small" -type f -print0 | xargs -0 cat >/dev/null
"$root/scripts/wine-run" "$tallix_exe" "$(winpath "$work/tiny")" /S >/dev/null

# timed NAME COMMAND...: runs COMMAND $runs times, output to $work/NAME.out;
# sets best (seconds) and peak (largest resident KiB of any run).
timed() {
    local name=$1 run t m
    shift
    best=1000000 peak=0
    for ((run = 0; run < runs; run++)); do
        /usr/bin/time -f '%e %M' -o "$work/$name.time" "$@" >"$work/$name.out" </dev/null ||
            { echo "$name: exit status $?" >&2; exit 1; }
        read -r t m <"$work/$name.time"
        best=$(awk -v a="$best" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
        if [ "$m" -gt "$peak" ]; then peak=$m; fi
    done
}
# More precise than /usr/bin/time's hundredths for the short runs.
timed_ns() {
    local name=$1 run start end t
    shift
    best=1000000
    for ((run = 0; run < runs; run++)); do
        start=$(date +%s%N)
        "$@" >"$work/$name.out" </dev/null
        end=$(date +%s%N)
        t=$(awk -v s="$start" -v e="$end" 'BEGIN { print (e - s) / 1e9 }')
        best=$(awk -v a="$best" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
    done
}

# sorted_digests NAME PREFIX: "relative/name digest" lines of a Windows
# program's output, PREFIX (the Windows folder and its backslash) cut off.
sorted_digests() {
    tr -d '\r' <"$work/$1.out" |
        sed -nE 's/^(.+) ([0-9A-F]{32})$/\1 \2/p' |
        prefix=$2 awk '{ p = ENVIRON["prefix"]; d = tolower($NF); $NF = ""; sub(/ $/, "");
                         if (index($0, p) == 1) $0 = substr($0, length(p) + 1);
                         gsub(/\\/, "/"); print $0 " " d }' | sort
}
# check NAME KIND FOLDER: the outputs of the program and the floor on FOLDER
# hold md5sum's digests.
check() {
    local count
    sed -E 's/^([0-9a-f]{32})  \.\/(.*)$/\2 \1/' "$work/$1.md5sum.out" | sort >"$work/$1.expected"
    count=$(wc -l <"$work/$1.expected")
    for kind in tallix floor; do
        if ! sorted_digests "$1.$kind" "$(winpath "$2")\\" | cmp -s - "$work/$1.expected"; then
            echo "$1: the $kind's digests differ from md5sum's:" >&2
            sorted_digests "$1.$kind" "$(winpath "$2")\\" | diff - "$work/$1.expected" | head -5 >&2
            exit 1
        fi
    done
    echo "$1: $count digests of the program and the floor equal md5sum's"
}

# bench NAME FOLDER: the three on FOLDER; sets {tallix,floor,md5sum}_time
# and _peak.
bench() {
    # shellcheck disable=SC2016 # expanded by the inner shell
    timed "$1.md5sum" bash -c 'cd "$1" && find . -type f -print0 | xargs -0 md5sum' - "$2"
    md5sum_time=$best md5sum_peak=$peak
    timed "$1.tallix" "$root/scripts/wine-run" "$tallix_exe" "$(winpath "$2")" /R /S
    tallix_time=$best tallix_peak=$peak
    timed "$1.floor" "$root/scripts/wine-run" "$floor_exe" "$(winpath "$2")"
    floor_time=$best floor_peak=$peak
    check "$1" "$2"
}
bench large "$work/large"
large_tallix=$tallix_time large_floor=$floor_time large_md5sum=$md5sum_time
large_peaks=("$tallix_peak" "$floor_peak" "$md5sum_peak")
bench small "$work/small"
small_tallix=$tallix_time small_floor=$floor_time small_md5sum=$md5sum_time
small_peaks=("$tallix_peak" "$floor_peak" "$md5sum_peak")
bench medium "$work/medium"
medium_tallix=$tallix_time medium_floor=$floor_time medium_md5sum=$md5sum_time
medium_peaks=("$tallix_peak" "$floor_peak" "$md5sum_peak")
# What reading alone costs: the medium files read whole into one buffer.
timed medium.read "$root/scripts/wine-run" "$floor_exe" /READ "$(winpath "$work/medium")"
medium_read=$best

runs=5
timed_ns startup.tallix "$root/scripts/wine-run" "$tallix_exe" "$(winpath "$work/tiny")" /S
startup_tallix=$best
timed_ns startup.floor "$root/scripts/wine-run" "$floor_exe" "$(winpath "$work/tiny")"
startup_floor=$best
timed_ns startup.window "$root/scripts/wine-run" "$floor_exe" /W "$(winpath "$work/tiny")"
startup_window=$best
# The README's wrapper starts a second Wine process for the exit status.
timed_ns startup.wrapper "$root/scripts/tallix" "$(winpath "$work/tiny")" /S
startup_wrapper=$best

row() { printf '%-36s tallix %7.3f s  floor %7.3f s  md5sum %7.3f s\n' "$@"; }
peaks() { printf '%-36s tallix %7d KiB floor %7d KiB md5sum %7d KiB\n' "$@"; }
row "large file (1 GiB):" "$large_tallix" "$large_floor" "$large_md5sum"
peaks "  peak resident memory:" "${large_peaks[@]}"
# The program's own figure: its reading phase alone, without the start-up.
echo "  tallix's reading phase: $(tr -d '\r' <"$work/large.tallix.out" | sed -n 's/^ *Average speed //p')"
row "small files (10,000 x 4 KiB):" "$small_tallix" "$small_floor" "$small_md5sum"
peaks "  peak resident memory:" "${small_peaks[@]}"
row "medium files (256 x 4 MiB):" "$medium_tallix" "$medium_floor" "$medium_md5sum"
peaks "  peak resident memory:" "${medium_peaks[@]}"
printf '  reading alone (floor /READ, start-up included): %.3f s\n' "$medium_read"
echo "  lane width: $("$root/scripts/wine-run" "$floor_exe" /LANES | tr -d '\r') files at once"
printf 'start-up (one tiny file): tallix %.3f s, floor %.3f s, floor with window %.3f s\n' \
    "$startup_tallix" "$startup_floor" "$startup_window"
printf 'the README wrapper'\''s own cost: %.3f s\n' \
    "$(awk -v w="$startup_wrapper" -v t="$startup_tallix" 'BEGIN { print w - t }')"
ratio() { awk -v a="$2" -v b="$3" -v l="$1" 'BEGIN { printf "%s: %.2f\n", l, a / b }'; }
ratio "floor small files ratio vs md5sum" "$small_floor" "$small_md5sum"
ratio "small files ratio vs floor" "$small_tallix" "$small_floor"
ratio "small files ratio vs md5sum" "$small_tallix" "$small_md5sum"
ratio "start-up ratio vs floor with window" "$startup_tallix" "$startup_window"
ratio "floor large file ratio vs md5sum" "$large_md5sum" "$large_floor"
# What the fixed start-up of a Wine program leaves of the large-file figure.
ratio "large file ratio vs md5sum without tallix's start-up" "$large_md5sum" \
    "$(awk -v l="$large_tallix" -v s="$startup_tallix" 'BEGIN { print l - s }')"
ratio "medium files ratio vs floor" "$medium_floor" "$medium_tallix"
ratio "medium files ratio vs md5sum" "$medium_md5sum" "$medium_tallix"
ratio "large file ratio vs md5sum" "$large_md5sum" "$large_tallix"
