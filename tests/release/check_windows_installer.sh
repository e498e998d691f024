#!/usr/bin/env bash
# The installer a Windows learner runs, silently (/S) under Wine: pelko.exe
# lands in Program Files with its French voice, a Start-menu entry and an "Apps"
# entry and starts from there; installing again first runs the uninstaller of
# the one before; the uninstaller takes all of them away and leaves the
# learner's results and options in the registry. (Wine's account is an
# administrator; what the uninstaller would do for one who is not is read from
# its script, by check_windows_uninstaller_script.sh.)
#   check_windows_installer.sh INSTALLER WINE_SESSION_DIR
set -euo pipefail
installer=$1
session=$2
session_sh=$(dirname "$0")/../support/wine_session.sh
. "$(dirname "$0")/../support/wine_window.sh"
export DISPLAY=:$(cat "$session/display")
results='HKCU\Software\Dravilo\pelko\Results'
options='HKCU\Software\Dravilo\pelko\Options'
apps='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\pelko-installer'

wine_run() { bash "$session_sh" run "$session" "$@"; }
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
learner_kept() {
    wine_run reg query "$results" /v Result1_1 2>/dev/null | grep -q "Tries :60" ||
        fail "$1 took the learner's results away"
    wine_run reg query "$options" /v SpeakFrenchWords 2>/dev/null | grep -q "0x0" ||
        fail "$1 took the learner's options away"
}

# A learner with a result and an option from before.
wine_run reg add "$results" /v Result1_1 /d "  01 mins, 00 secs Tries :60" /f >/dev/null
wine_run reg add "$options" /v SpeakFrenchWords /t REG_DWORD /d 0 /f >/dev/null

# The second run finds the first one's "Apps" entry and runs its uninstaller
# first, which deletes that entry whole: a value added to it is gone after.
wine_run "$installer" /S || fail "the installer ended with status $?"
wine_run reg query "$apps" /v UninstallString >/dev/null 2>&1 || fail "no \"Apps\" entry $apps"
wine_run reg add "$apps" /v PelkoTestMark /d 1 /f >/dev/null
wine_run "$installer" /S || fail "the installer, run again, ended with status $?"
! wine_run reg query "$apps" /v PelkoTestMark >/dev/null 2>&1 ||
    fail "installing again did not run the uninstaller of the one before"
learner_kept "installing again"
wine_run reg query "$apps" /v DisplayName 2>/dev/null | grep -q "REG_SZ *pelko" ||
    fail "the \"Apps\" entry is not pelko's"
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
window=$(wine_window)
[ -n "$window" ] || fail "the installed pelko.exe showed no window within 60 seconds"
sleep 1
xdotool windowfocus --sync "$window"
xdotool key Escape
wait "$pelko" || fail "the installed pelko.exe ended with status $?"
trap - EXIT

# The uninstaller copies itself away and runs from there, a program of the
# prefix started by the one that returned: wait until the prefix runs none.
wine_run "$folder/Uninstall.exe" /S || fail "the uninstaller ended with status $?"
bash "$session_sh" wait "$session"
[ ! -e "$folder/pelko.exe" ] || fail "pelko.exe is still there after uninstalling"
[ ! -e "$menu" ] || fail "the Start-menu entry is still there after uninstalling"
! wine_run reg query "$apps" >/dev/null 2>&1 || fail "the \"Apps\" entry is still there after uninstalling"
learner_kept "uninstalling"
[ ! -e "$folder/espeak-ng-data" ] && [ ! -e "$folder/espeak-ng" ] ||
    fail "the French voice's files are still there after uninstalling"
echo "installer ok"
