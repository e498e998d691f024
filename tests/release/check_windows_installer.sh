#!/usr/bin/env bash
# The installer a Windows learner runs, silently (/S) under Wine: pelko.exe
# lands in Program Files with a Start-menu entry and its French voice and starts
# from there; the uninstaller takes them away and leaves the learner's results in the registry.
#   check_windows_installer.sh INSTALLER WINE_SESSION_DIR
set -euo pipefail
installer=$1
session=$2
session_sh=$(dirname "$0")/../support/wine_session.sh
export DISPLAY=:$(cat "$session/display")
results='HKCU\Software\Dravilo\pelko\Results'

wine_run() { bash "$session_sh" run "$session" "$@"; }
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A learner with a result from before.
wine_run reg add "$results" /v Result1_1 /d "  01 mins, 00 secs Tries :60" /f >/dev/null

wine_run "$installer" /S || fail "the installer ended with status $?"
folder=$(wine_run winepath -u 'C:\Program Files\pelko' 2>/dev/null | tr -d '\r')
[ -f "$folder/pelko.exe" ] || fail "no pelko.exe in $folder"
[ -f "$folder/Qt/SOURCE.txt" ] || fail "no Qt/SOURCE.txt in $folder"
[ -f "$folder/espeak-ng-data/phondata" ] && [ -f "$folder/espeak-ng/SOURCE.txt" ] ||
    fail "no French voice (espeak-ng-data, espeak-ng/SOURCE.txt) in $folder"
[ -f "$folder/Uninstall.exe" ] || fail "no uninstaller in $folder"
menu=$(find "$session/prefix/drive_c" -path '*Start Menu/Programs/pelko/pelko.lnk' | head -n 1)
[ -n "$menu" ] || fail "no Start-menu entry pelko"

# It starts from there: its window opens, and Escape closes it with status 0.
bash "$session_sh" run "$session" "$folder/pelko.exe" >"$session/installed.log" 2>&1 &
pelko=$!
trap 'kill $pelko 2>/dev/null || true' EXIT
window=
for _ in $(seq 120); do
    window=$(xdotool search --name '^French Vocabulary 1-1000$' 2>/dev/null | head -n 1 || true)
    [ -z "$window" ] || break
    sleep 0.5
done
[ -n "$window" ] || fail "the installed pelko.exe showed no window within 60 seconds"
sleep 1
xdotool windowfocus --sync "$window"
xdotool key Escape
wait "$pelko" || fail "the installed pelko.exe ended with status $?"
trap - EXIT

# The uninstaller copies itself away and runs from there: wait for it.
wine_run "$folder/Uninstall.exe" /S || fail "the uninstaller ended with status $?"
for _ in $(seq 60); do
    [ -e "$folder/pelko.exe" ] || [ -e "$menu" ] || break
    sleep 0.5
done
[ ! -e "$folder/pelko.exe" ] || fail "pelko.exe is still there after uninstalling"
[ ! -e "$menu" ] || fail "the Start-menu entry is still there after uninstalling"
[ ! -e "$folder/espeak-ng-data" ] && [ ! -e "$folder/espeak-ng" ] ||
    fail "the French voice's files are still there after uninstalling"
wine_run reg query "$results" /v Result1_1 2>/dev/null | grep -q "Tries :60" ||
    fail "uninstalling took the learner's results away"
echo "installer ok"
