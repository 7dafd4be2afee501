#!/usr/bin/env bash
# unprivileged.sh TALLIX.exe: runs under Wine as a user whom file modes bind
# (root reads and writes every folder): a calculation over a folder with a
# sub-folder that cannot be listed must go on, report the folder as a
# scanning error with code 5 and end with the scan-error bit (2); lists for a
# folder that cannot be written fail while the others are written (bit 32).
set -euo pipefail
program=$1
# As root, a system user with a Wine prefix of its own in its home.
user=tallix-tests
as_user() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u "$user" -- "$@"
    else
        "$@"
    fi
}
if [ "$(id -u)" -eq 0 ]; then
    id -u "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
    uid=$(id -u "$user")
    home=/tmp/tallix-e2e-denied-home
    mkdir -p "$home" "/tmp/.wine-$uid"
    chown "$user" "$home" "/tmp/.wine-$uid"
    chmod 700 "/tmp/.wine-$uid"
else
    home=$(mktemp -d /tmp/tallix-e2e-denied-home.XXXXXX)
fi
as_user_wine() {
    as_user env HOME="$home" TMPDIR="$home" WINEPREFIX="$home/prefix" WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree=;mshtml=" LC_ALL=C.UTF-8 /usr/lib/wine/wine64 "$@"
}

work=$(as_user mktemp -d /tmp/tallix-denied.XXXXXX)
cleanup() {
    chmod 700 "$work/data/denied" "$work/lists/closed" 2>/dev/null || true
    rm -rf "$work"
    as_user env WINEPREFIX="$home/prefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT
as_user mkdir -p "$work/data/a" "$work/data/denied" "$work/data/z"
as_user sh -c "printf abc > '$work/data/a/f.txt'; echo g > '$work/data/denied/g.txt'; printf h > '$work/data/z/h.txt'"
as_user chmod 000 "$work/data/denied"
as_user cp "$program" "$work/tallix.exe"

data="Z:${work//\//\\}\\data"
set +e
output=$(as_user_wine "$work/tallix.exe" "$data" /R </dev/null 2>/dev/null)
status=$?
set -e

failures=0
expect() {
    if ! grep -qF -- "$1" <<<"$output"; then
        echo "missing: $1"
        failures=$((failures + 1))
    fi
}
expect "Scanning error detected (process continues):"
expect "  Code - 5 ["
expect "  $data\\denied"
expect "Scanning errors:  "
expect "a\\f.txt 900150983CD24FB0D6963F7D28E17F72"
expect "z\\h.txt 2510C39011C5BE704182423E3A695E91"
expect "  Scanning errors - 1"
if [ "$status" -ne 2 ]; then
    echo "exit status $status, expected 2"
    failures=$((failures + 1))
fi
if [ "$failures" -ne 0 ]; then
    printf '%s\n' "$output"
    exit 1
fi
echo "access-denied folder reported; the other folders hashed"

# A folder the user may not write to keeps its list out; the others are written.
as_user mkdir -p "$work/lists/open" "$work/lists/closed"
as_user sh -c "printf abc > '$work/lists/open/a.txt'; printf abc > '$work/lists/closed/b.txt'"
as_user chmod 555 "$work/lists/closed"
lists="Z:${work//\//\\}\\lists"
set +e
output=$(as_user_wine "$work/tallix.exe" "$lists" /T:F /R /O </dev/null 2>/dev/null)
status=$?
set -e
chmod 755 "$work/lists/closed"
failures=0
expect "The result was successfully written in 1 files of 2."
if [ "$status" -ne 32 ]; then
    echo "exit status $status, expected 32"
    failures=$((failures + 1))
fi
[ -f "$work/lists/open/open.md5" ] || { echo "missing open.md5"; failures=$((failures + 1)); }
[ ! -e "$work/lists/closed/closed.md5" ] || { echo "closed.md5 written"; failures=$((failures + 1)); }
if [ "$failures" -ne 0 ]; then
    printf '%s\n' "$output"
    exit 1
fi
echo "the list of a read-only folder failed; the other was written"
