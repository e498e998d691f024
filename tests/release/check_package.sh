#!/usr/bin/env bash
# Checks what the .deb in the given folder holds and depends on.
set -euo pipefail
deb=$(ls "$1"/*.deb)
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
    ./usr/share/pelko/screenshot.png \
    ./usr/share/man/man1/pelko.1.gz \
    ./usr/share/doc/pelko/copyright \
    ./usr/share/doc/pelko/changelog.gz; do
    if ! grep -q " $path\$" <<<"$contents"; then
        echo "missing from the package: $path"
        status=1
    fi
done
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 libspeechd2 fonts-liberation qt6-qpa-plugins; do
    if ! grep -q "$dep" <<<"$depends"; then
        echo "missing dependency: $dep (Depends: $depends)"
        status=1
    fi
done
# What speaks the words, as README.md's "Installing" names it.
recommends=$(dpkg-deb -f "$deb" Recommends)
if [ "$recommends" != "speech-dispatcher, speech-dispatcher-espeak-ng" ]; then
    echo "Recommends is not what speaks the words: $recommends"
    status=1
fi
# Nothing that only building needs.
if grep -q -E 'dev|gtest|benchmark' <<<"$depends"; then
    echo "build-only dependency in: $depends"
    status=1
fi
# The changelog's newest entry names the version being shipped.
version=$(dpkg-deb -f "$deb" Version)
top=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/pelko/changelog.gz | gzip -dc | head -n 1)
if [[ "$top" != "pelko ($version) "* ]]; then
    echo "changelog's newest entry is not $version: $top"
    status=1
fi
# The program reads no environment variable of its own (they would be PELKO_*).
if dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/pelko | grep -a -q PELKO_; then
    echo "usr/bin/pelko names a PELKO_ variable"
    status=1
fi
[ $status -eq 0 ] && echo "package ok: $(basename "$deb"); Depends: $depends"
exit $status
