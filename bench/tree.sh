#!/usr/bin/env bash
# Path-tree benchmark: 1,000 folders of 1,000 files (names of 12 characters)
# built, walked with GetNext, every full path built once, and deleted; time
# per node for each phase and process memory per node, beside a plain C++
# node tree (std::u16string names, vectors of owned children) measured the
# same way, and the same tree at a tenth of the size to show linear cost.
# Each measurement runs in a process of its own, so that freed memory of one
# cannot hide the memory of the next. The last line is the figure.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Only the benchmark's own target is built: it needs nothing else of the preset.
"$root/scripts/setup" --quiet
build="${TALLIX_BUILD_ROOT:-$root/build}/bench"
if [ ! -f "$build/build.ninja" ]; then
    cmake --preset bench -S "$root" -B "$build" >/dev/null
fi
cmake --build "$build" --target tree_bench --parallel 2 >/dev/null
bench="$build/bench/tree_bench"

big=$("$bench" tree 1000 1000)
small=$("$bench" tree 100 1000)
peer=$("$bench" peer 1000 1000)
value() { awk -v k="$2" '$1 == k { print $2 }' <<<"$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '%-28s %12s %12s %10s %14s\n' "ns per node" "tree 1M" "peer 1M" "tree/peer" "tree 100k"
for phase in build walk paths delete; do
    t=$(value "$big" $phase)
    p=$(value "$peer" $phase)
    s=$(value "$small" $phase)
    printf '%-28s %12s %12s %10s %14s\n' "$phase" "$t" "$p" "$(ratio "$t" "$p")" "$s"
done
tb=$(value "$big" bytes)
pb=$(value "$peer" bytes)
printf '%-28s %12s %12s %10s\n' "bytes per node" "$tb" "$pb" "$(ratio "$tb" "$pb")"
for phase in build walk; do
    printf 'linear: %s time per node at 1M / at 100k: %s\n' "$phase" \
        "$(ratio "$(value "$big" $phase)" "$(value "$small" $phase)")"
done
printf 'tree bytes per node: %.0f\n' "$tb"
