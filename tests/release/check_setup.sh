#!/usr/bin/env bash
# Runs the set-up and run scripts against stand-ins for id, dpkg-query and sudo
# (every package missing, a user who is not root) and checks what they would do.
set -euo pipefail
root=$(cd "$1" && pwd)
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
for tool in bash cat dirname grep; do
    ln -s "$(command -v "$tool")" "$fake/$tool"
done
printf '#!/bin/bash\necho 1000\n' >"$fake/id"
printf '#!/bin/bash\necho asked >>"%s/asked"\nexit 1\n' "$fake" >"$fake/dpkg-query"
chmod +x "$fake/id" "$fake/dpkg-query"
status=0
fail() {
    echo "$*"
    status=1
}

# No display: scripts/run stops before it installs or builds anything.
if out=$(env -u DISPLAY -u WAYLAND_DISPLAY PATH="$fake" bash "$root/scripts/run" 2>&1); then
    fail "scripts/run without a display succeeded"
fi
grep -q "no display" <<<"$out" || fail "scripts/run without a display said: $out"
[ ! -e "$fake/asked" ] || fail "scripts/run without a display looked for packages first"

# Neither root nor sudo: one line that says what to run as root.
if out=$(PATH="$fake" bash "$root/scripts/setup" run 2>&1); then
    fail "setup without root or sudo succeeded"
fi
[ "$(wc -l <<<"$out")" -eq 1 ] || fail "setup without root or sudo said more than one line: $out"
grep -q "as root, run: apt-get update && apt-get install --no-install-recommends cmake g++ " <<<"$out" ||
    fail "setup without root or sudo did not say what to run: $out"

# Through sudo, the front end stays noninteractive (sudo drops the caller's
# environment), and the run set holds nothing that only tests or CI need.
printf '#!/bin/bash\necho "$*" >>"%s/sudo.log"\n' "$fake" >"$fake/sudo"
chmod +x "$fake/sudo"
PATH="$fake" bash "$root/scripts/setup" run >/dev/null
install=$(grep " install " "$fake/sudo.log" || true)
[[ "$install" == "env DEBIAN_FRONTEND=noninteractive apt-get install -y "* ]] ||
    fail "install through sudo was: $(cat "$fake/sudo.log")"
if grep -q -E "gtest|gmock|benchmark|lintian|appstream|xvfb|xdotool|clang" <<<"$install"; then
    fail "the run set holds test or CI tools: $install"
fi
# The espeak-ng archive builds nothing unless it matches its .sha256.
archive=$fake/espeak-ng-1.52.0.tar.xz
printf 'not espeak-ng' >"$archive"
for sha in missing wrong; do
    [ $sha = missing ] || echo "$(printf 0%.0s {1..64})  espeak-ng-1.52.0.tar.xz" >"$archive.sha256"
    if out=$(PELKO_CACHE=$fake/cache PELKO_ESPEAK_NG_ARCHIVE=$archive bash "$root/scripts/build-espeak-ng-mingw" 2>&1); then
        fail "build-espeak-ng-mingw took an archive whose checksum is $sha"
    fi
    grep -q -e "sha256 is missing" -e "does not match its .sha256" <<<"$out" || fail "build-espeak-ng-mingw said: $out"
done
[ -z "$(ls -A "$fake/cache/espeak-ng" 2>/dev/null)" ] || fail "build-espeak-ng-mingw left something in its cache"
[ $status -eq 0 ] && echo "set-up ok"
exit $status
