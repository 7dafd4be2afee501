#!/usr/bin/env bash
# MD5 throughput of TMD5Hash against OpenSSL's MD5 (native release build);
# the last line is the ratio, above 1 when ours is faster.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if ! dpkg-query -W -f='${Status}' libssl-dev 2>/dev/null | grep -q 'install ok installed'; then
    echo "Installing libssl-dev..." >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >&2
    apt-get install -y -qq --no-install-recommends libssl-dev >&2
fi
"$root/scripts/setup" --quiet bench
"${TALLIX_BUILD_ROOT:-$root/build}/bench/md5_bench"
