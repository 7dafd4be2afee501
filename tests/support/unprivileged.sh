# Sourced by the tests that need a user whom file modes bind (root reads and
# writes every folder whatever its mode). After `unprivileged_setup NAME`:
#   as_user CMD...   runs CMD as that user (as the caller when not root)
#   as_user_wine [VAR=value...] PROGRAM ARGS...
#                    runs PROGRAM under Wine as that user in the prefix of NAME
#   unprivileged_home  that user's home for NAME (its prefix lies inside)
# Each NAME has a prefix of its own, so tests never stop each other's Wine.
# The caller stops the prefix's server at its end: unprivileged_stop.
unprivileged_user=tallix-tests
unprivileged_wine=/usr/lib/wine/wine64
unprivileged_wineserver=/usr/lib/wine/wineserver

as_user() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u "$unprivileged_user" -- "$@"
    else
        "$@"
    fi
}

unprivileged_setup() {
    local name=$1 uid
    if [ "$(id -u)" -eq 0 ]; then
        id -u "$unprivileged_user" >/dev/null 2>&1 ||
            useradd --system --no-create-home --shell /usr/sbin/nologin "$unprivileged_user"
        uid=$(id -u "$unprivileged_user")
        unprivileged_home=/tmp/tallix-$name-home
        mkdir -p "$unprivileged_home" "/tmp/.wine-$uid"
        chown "$unprivileged_user" "$unprivileged_home" "/tmp/.wine-$uid"
        chmod 700 "/tmp/.wine-$uid"
    else
        unprivileged_home=$(mktemp -d "/tmp/tallix-$name-home.XXXXXX")
    fi
}

as_user_wine() {
    local assignments=()
    while [ $# -gt 0 ] && [[ "$1" == [A-Z_]*=* ]]; do
        assignments+=("$1")
        shift
    done
    as_user env HOME="$unprivileged_home" TMPDIR="$unprivileged_home" \
        WINEPREFIX="$unprivileged_home/prefix" WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree=;mshtml=" LC_ALL=C.UTF-8 "${assignments[@]}" \
        "$unprivileged_wine" "$@"
}

unprivileged_stop() {
    as_user env WINEPREFIX="$unprivileged_home/prefix" "$unprivileged_wineserver" -k \
        >/dev/null 2>&1 || true
}
