#!/usr/bin/env bash
# run-unprivileged.sh PROGRAM.exe FILTER: runs the GoogleTest cases of FILTER
# in PROGRAM under Wine as a user whom file modes bind (root reads every
# folder whatever its mode). It prepares a folder holding a\f.txt, denied\
# (mode 000) and z\h.txt and names it in TALLIX_DENIED_ROOT. As root it
# creates the user, its own Wine prefix and /tmp/.wine-<uid>; run by an
# ordinary user it runs as that user.
set -euo pipefail
program=$1
filter=$2
source "$(dirname "${BASH_SOURCE[0]}")/../support/unprivileged.sh"
unprivileged_setup tests

work=$(as_user mktemp -d /tmp/tallix-denied.XXXXXX)
cleanup() {
    chmod 700 "$work/denied" 2>/dev/null || true
    rm -rf "$work"
    unprivileged_stop
}
trap cleanup EXIT
as_user mkdir -p "$work/a" "$work/denied" "$work/z"
as_user sh -c "echo f > '$work/a/f.txt'; echo g > '$work/denied/g.txt'; echo h > '$work/z/h.txt'"
as_user chmod 000 "$work/denied"
# The program is copied where the user can surely read it.
as_user cp "$program" "$work/program.exe"

as_user_wine TALLIX_DENIED_ROOT="Z:${work//\//\\}" "$work/program.exe" \
    --gtest_filter="$filter" --gtest_brief=1 </dev/null
