#!/usr/bin/env bash
# MD5 throughput of TMD5Hash against OpenSSL's MD5 on the same 256 MiB, fed
# in 4096-byte pieces (native release build, generic tuning), and of each
# lane width the processor runs over the same bytes as 32 messages against
# OpenSSL's one stream (a "md5 lanes xN (set) ratio vs openssl" line each).
# The last line is the one stream's ratio, above 1 when ours is faster.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup" --quiet
# OpenSSL is the peer; only this benchmark links it.
if ! dpkg-query -W -f='${Status}' libssl-dev 2>/dev/null | grep -q 'install ok installed'; then
    echo "Installing libssl-dev..." >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >&2
    apt-get install -y -qq --no-install-recommends libssl-dev >&2
fi
build="${TALLIX_BUILD_ROOT:-$root/build}/bench"
# Configured every time: the preset may have been configured before OpenSSL was there.
cmake --preset bench -S "$root" -B "$build" >/dev/null
# Only the benchmark's own target is built: it needs nothing else of the preset.
cmake --build "$build" --target md5_bench --parallel 2 >/dev/null
"$build/bench/md5_bench"
