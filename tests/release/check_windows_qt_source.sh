#!/usr/bin/env bash
# Qt\SOURCE.txt for each kind of Qt a Windows package can hold, from a made-up
# pelko-qt-origin (nothing is built): one built from Debian's patched source,
# the known prebuilt archive without Debian's patches, an archive of unknown
# make and a Qt with no record; each says which and whether the patches are in.
#   check_windows_qt_source.sh SOURCE_DIR CMAKE
set -euo pipefail
source_dir=$1
cmake=$2
. "$(dirname "$0")/qt_source_expect.sh"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf 'source qt6-base 6.4.2+dfsg-10\ndsc-sha256 %s\n' "$(printf 'dsc' | sha256sum | cut -c1-64)" >"$dir/patched"
printf 'archive qt6-mingw64-6.4.2-static.tar.xz\nsha256 %s\n' "$unpatched_archive_sha256" >"$dir/unpatched"
# Same name, other bytes: a rebuild of it, or an archive passed off as it.
printf 'archive qt6-mingw64-6.4.2-static.tar.xz\nsha256 %s\n' "$(printf 'other' | sha256sum | cut -c1-64)" >"$dir/other"
printf 'source qt6-base 6.4.2+dfsg-10\n' >"$dir/half"
status=0
for origin in patched unpatched other half none; do
    "$cmake" -DORIGIN="$dir/$origin" -DQT_VERSION=6.4.2 -DOUTPUT="$dir/$origin.txt" \
        -P "$source_dir/cmake/windows_qt_source.cmake"
    expect_qt_source "$dir/$origin.txt" "$dir/$origin" 6.4.2 || status=1
done
[ $status -eq 0 ] && echo "SOURCE.txt ok for a patched, an unpatched, an unknown and an unrecorded Qt"
exit $status
