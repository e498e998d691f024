#!/usr/bin/env bash
# The zip a Windows learner unpacks: exactly pelko.exe, its French voice's data and its papers, and a
# pelko.exe that is a stripped 64-bit window program carrying its icon and
# version, needing no DLL that Windows does not have; and a Qt\SOURCE.txt that
# says which Qt is inside and whether Debian's patches are in it, as the
# pelko-qt-origin of the Qt it was linked against proves.
#   check_windows_zip.sh ZIP SOURCE_DIR WINE_SESSION_DIR QT_ORIGIN QT_VERSION
set -euo pipefail
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source_dir=$2
session=$3
qt_origin=$4
qt_version=$5
. "$(dirname "$0")/qt_source_expect.sh"
objdump=x86_64-w64-mingw32-objdump
windres=x86_64-w64-mingw32-windres
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$out" && cmake -E tar xf "$zip")
top=$out/pelko-1.0.0-win64

expected='pelko-1.0.0-win64/LICENSE.txt
pelko-1.0.0-win64/Qt/GPL-2.txt
pelko-1.0.0-win64/Qt/GPL-3.txt
pelko-1.0.0-win64/Qt/LGPL-3.txt
pelko-1.0.0-win64/Qt/SOURCE.txt
pelko-1.0.0-win64/Qt/copyright.txt
pelko-1.0.0-win64/README.txt
pelko-1.0.0-win64/espeak-ng-data/fr_dict
pelko-1.0.0-win64/espeak-ng-data/intonations
pelko-1.0.0-win64/espeak-ng-data/lang/roa/fr
pelko-1.0.0-win64/espeak-ng-data/phondata
pelko-1.0.0-win64/espeak-ng-data/phonindex
pelko-1.0.0-win64/espeak-ng-data/phontab
pelko-1.0.0-win64/espeak-ng/COPYING.APACHE.txt
pelko-1.0.0-win64/espeak-ng/COPYING.BSD2.txt
pelko-1.0.0-win64/espeak-ng/COPYING.UCD.txt
pelko-1.0.0-win64/espeak-ng/COPYING.txt
pelko-1.0.0-win64/espeak-ng/SOURCE.txt
pelko-1.0.0-win64/pelko.exe'
members=$(cd "$out" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$members" = "$expected" ] || fail "the zip holds:
$members"

cmp -s "$top/LICENSE.txt" "$source_dir/LICENSE" || fail "LICENSE.txt is not pelko's licence"
cmp -s "$top/Qt/LGPL-3.txt" /usr/share/common-licenses/LGPL-3 || fail "Qt/LGPL-3.txt is not the LGPL 3"
grep -q "^Upstream-Name: qtbase" "$top/Qt/copyright.txt" || fail "Qt/copyright.txt is not qt6-base's"
expect_qt_source "$top/Qt/SOURCE.txt" "$qt_origin" "$qt_version" || status=1
# The French voice's papers: espeak-ng's four licences, and which source, its checksum, how it was built.
cmp -s "$top/espeak-ng/COPYING.APACHE.txt" /usr/share/common-licenses/Apache-2.0 ||
    fail "espeak-ng/COPYING.APACHE.txt is not the Apache licence 2.0"
grep -q "GNU GENERAL PUBLIC LICENSE" "$top/espeak-ng/COPYING.txt" && grep -q "Version 3, 29 June 2007" "$top/espeak-ng/COPYING.txt" ||
    fail "espeak-ng/COPYING.txt is not the GPL 3"
grep -q "^Redistribution and use in source and binary forms" "$top/espeak-ng/COPYING.BSD2.txt" ||
    fail "espeak-ng/COPYING.BSD2.txt is not the BSD licence"
grep -q "^Unicode Data Files" "$top/espeak-ng/COPYING.UCD.txt" || fail "espeak-ng/COPYING.UCD.txt is not the Unicode licence"
grep -Eq "espeak-ng-[0-9.]+\.tar\.xz" "$top/espeak-ng/SOURCE.txt" && grep -Eq "SHA-256 [0-9a-f]{64}" "$top/espeak-ng/SOURCE.txt" &&
    grep -q -- "-DUSE_MBROLA=OFF" "$top/espeak-ng/SOURCE.txt" ||
    fail "espeak-ng/SOURCE.txt does not say which source, its checksum and how it was built"

exe=$top/pelko.exe
headers=$("$objdump" -p "$exe")
grep -q "^Magic.*020b.*PE32+" <<<"$headers" || fail "pelko.exe is not a 64-bit program"
grep -q "^Subsystem.*(Windows GUI)" <<<"$headers" || fail "pelko.exe opens a console"
if "$objdump" -t "$exe" | grep -q '^\['; then
    fail "pelko.exe is not stripped"
fi
# Every DLL it loads is one that Windows itself has: Wine's stand-ins for
# them are in its system folder. A Qt, C++ runtime or pthread DLL is not.
# (api-ms-win-* are API sets, names that Windows's loader itself resolves.)
system32=$session/prefix/drive_c/windows/system32
while read -r dll; do
    if [[ "${dll,,}" != api-ms-win-* ]] && [ ! -e "$system32/${dll,,}" ]; then
        fail "pelko.exe needs $dll, which Windows does not have"
    fi
done < <(awk '/DLL Name:/ {print $3}' <<<"$headers")

resources=$("$windres" -i "$exe" -O rc)
grep -q "RT_GROUP_ICON" <<<"$resources" || fail "pelko.exe has no icon"
for value in '"CompanyName", "Dravilo"' '"ProductName", "pelko"' '"ProductVersion", "1.0.0"' \
    '"FileVersion", "1.0.0"'; do
    grep -qF "VALUE $value" <<<"$resources" || fail "pelko.exe's version resource lacks $value"
done
grep -q "FILEVERSION 1, 0, 0, 0" <<<"$resources" || fail "pelko.exe's file version is not 1.0.0.0"
[ $status -eq 0 ] && echo "zip ok: $(stat -c %s "$zip") bytes, pelko.exe $(stat -c %s "$exe") bytes"
exit $status
