# Shared by the benchmarks that time whole runs under Wine (sourced, not a
# benchmark of its own).

winpath() { echo "Z:${1//\//\\}"; }
now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
# ratio LABEL A B: prints "LABEL: A/B".
ratio() { awk -v p="$2" -v t="$3" -v what="$1" 'BEGIN { printf "%s: %.2f\n", what, p / t }'; }

# best NAME COMMAND...: the best time of 3 runs of COMMAND into NAME_time.
best() {
    local name=$1 run start t min=1000000
    shift
    for run in 1 2 3; do
        start=$(now)
        "$@"
        t=$(seconds "$start" "$(now)")
        min=$(awk -v a="$min" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
    done
    printf -v "${name}_time" '%s' "$min"
}

# small_tree DIR: 20,000 files of 4 KiB of random bytes in 100 folders d00..d99.
small_tree() {
    local d
    mkdir -p "$1"
    for d in $(seq -w 0 99); do
        mkdir "$1/d$d"
        head -c $((200 * 4096)) /dev/urandom | split -b 4096 -d -a 3 - "$1/d$d/f"
    done
}
