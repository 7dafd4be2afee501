#!/usr/bin/env bash
# package.sh: makes the release package with scripts/package and checks it
# as its user would: the zip opens and holds the program, the README and the
# licence (CR LF text) and their checksum list; the program (the 64-bit
# build, under Wine) and md5sum both accept the list; the banner, the
# program's version resource and the zip's name give one version; the
# program is stripped and imports nothing the oldest Windows it names lacks.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "package: $*" >&2
    exit 1
}

zip=$("$root/scripts/package" "$work/dist" | tail -n 1)
unzip -tq "$zip" >/dev/null || fail "$zip does not open"
names=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$names" = "LICENSE.txt README.txt tallix.exe tallix.md5 " ] || fail "the zip holds $names"
unzip -q "$zip" -d "$work/tallix"
cd "$work/tallix"

for pair in README.txt:README.md LICENSE.txt:LICENSE; do
    file=${pair%%:*}
    ! grep -qv $'\r$' "$file" || fail "$file has a line end without CR"
    tr -d '\r' <"$file" | cmp -s - "$root/${pair#*:}" || fail "$file is not ${pair#*:}"
done

checked=$(md5sum -c tallix.md5 2>/dev/null | sort | tr '\n' ' ') || fail "md5sum -c: $checked"
[ "$checked" = "LICENSE.txt: OK README.txt: OK tallix.exe: OK " ] || fail "md5sum -c: $checked"
status=0
output=$("$root/scripts/tallix" tallix.md5 /V) || status=$?
[ "$status" = 0 ] && [[ "$output" == *"Processed 3 files"* ]] ||
    fail "tallix tallix.md5 /V ended with $status: $output"

# The banner of the program in a folder whose name the ANSI code page lacks:
# the version is read from the program's own file there too.
mkdir "$work/Версия"
cp "${TALLIX_BUILD_ROOT:-$root/build}/win64/tallix.exe" "$work/Версия/"
help=$("$root/scripts/wine-run" "$work/Версия/tallix.exe" /H) || fail "tallix /H: $help"
banner=$(sed -n 's/^MD5 Checksum calculation.*\[\([0-9.]*\)\].*/\1/p' <<<"$help")
resource=$(i686-w64-mingw32-windres -i tallix.exe -O rc)
fixed=$(sed -n 's/^ *FILEVERSION //p' <<<"$resource" | tr -d ' \r' | tr , .)
text=$(sed -n 's/^ *VALUE "FileVersion", "\(.*\)"/\1/p' <<<"$resource")
named=$(basename "$zip" | sed -n 's/^tallix-\(.*\)-win32\.zip$/\1/p')
[ -n "$banner" ] && [ "$fixed" = "$banner" ] && [ "$text" = "$banner" ] && [ "$named" = "$banner" ] ||
    fail "versions differ: banner '$banner', resource '$fixed' and '$text', zip '$named'"

i686-w64-mingw32-nm tallix.exe 2>&1 | grep -q 'no symbols' || fail "tallix.exe is not stripped"
"$root/tests/checks/windows-imports.py" tallix.exe "$root/tests/checks/oldest-windows.txt"
echo "$(basename "$zip"): tallix.exe $(stat -c %s tallix.exe) bytes, version $banner"
