#!/usr/bin/env bash
# Builds the .deb from a built tree and checks what it holds and depends on.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/*.deb)
contents=$(dpkg-deb -c "$deb")
status=0
for path in \
    ./usr/bin/pelko \
    ./usr/share/applications/com.dravilo.pelko.desktop \
    ./usr/share/metainfo/com.dravilo.pelko.metainfo.xml \
    ./usr/share/icons/hicolor/16x16/apps/com.dravilo.pelko.png \
    ./usr/share/icons/hicolor/32x32/apps/com.dravilo.pelko.png \
    ./usr/share/icons/hicolor/48x48/apps/com.dravilo.pelko.png \
    ./usr/share/icons/hicolor/scalable/apps/com.dravilo.pelko.svg \
    ./usr/share/pelko/screenshot.png; do
    if ! grep -q " $path\$" <<<"$contents"; then
        echo "missing from the package: $path"
        status=1
    fi
done
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 fonts-liberation qt6-qpa-plugins; do
    if ! grep -q "$dep" <<<"$depends"; then
        echo "missing dependency: $dep (Depends: $depends)"
        status=1
    fi
done
# Nothing that only building needs.
if grep -q -E 'dev|gtest|benchmark' <<<"$depends"; then
    echo "build-only dependency in: $depends"
    status=1
fi
[ $status -eq 0 ] && echo "package ok: $(basename "$deb"); Depends: $depends"
exit $status
