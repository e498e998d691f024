#!/usr/bin/env bash
# A learner unpacks the zip on a fresh Windows with no voice of its own (a
# new Wine prefix: no speech voices at all), turns on "Speak French Words" in
# the window's right-click menu, starts a practise and hears "le"; started
# again, pelko still has it on and says "le" again, and F5 says it once more.
# What pelko.exe says goes through Windows' audio into Wine's ALSA output,
# pointed at a file; each check is on that file, before and after the step
# that should make a sound.
#   check_windows_voice.sh ZIP WINE_SESSION_DIR SAY_TO_FILE_EXE
# WINE_SESSION_DIR is the build's started session, where SAY_TO_FILE_EXE
# (pelko's voice, from the build) gives the samples "le" must sound as.
set -euo pipefail
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
session=$2
say=$3
here=$(cd "$(dirname "$0")" && pwd)
session_sh=$here/../support/wine_session.sh
heard=$here/../support/heard.py
options='HKCU\Software\Dravilo\pelko\Options'

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
work=$(mktemp -d)
fresh=$work/session
pelko=
cleanup() {
    if [ -n "$pelko" ]; then kill "$pelko" 2>/dev/null || true; fi
    bash "$session_sh" stop "$fresh" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# What "le" sounds like in pelko's voice.
bash "$session_sh" run "$session" "$say" le "$(bash "$session_sh" run "$session" winepath -w "$work/le.raw" | tr -d '\r')" ||
    fail "say_to_file did not say \"le\""
[ -s "$work/le.raw" ] || fail "say_to_file gave no samples for \"le\""

# A fresh Windows: a new prefix on an X server of its own, with no speech
# voice (Wine lists an empty "Wine Default Voice", with no engine behind it).
bash "$session_sh" start "$fresh" >/dev/null
export DISPLAY=:$(cat "$fresh/display")
fresh_run() { bash "$session_sh" run "$fresh" "$@"; }
if fresh_run reg query 'HKLM\Software\Microsoft\Speech\Voices\Tokens' /s 2>/dev/null | grep -q 'CLSID'; then
    fail "the fresh prefix has a speech voice"
fi

# pelko.exe's sound: into a file, through the system's ALSA configuration
# with a default device that writes what it is given; a file for each start
# (the device empties its file when pelko opens it).
export ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$work/asound.conf
runs=0

# Unpacked into a folder whose name Western Windows' code page cannot spell.
folder=$fresh/prefix/drive_c/Уроки
mkdir -p "$folder"
(cd "$folder" && cmake -E tar xf "$zip")
exe=$folder/pelko-1.0.0-win64/pelko.exe

start_pelko() {
    runs=$((runs + 1))
    sound=$work/sound-$runs.raw
    printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' "$sound" >"$work/asound.conf"
    bash "$session_sh" run "$fresh" "$exe" >>"$work/pelko.log" 2>&1 &
    pelko=$!
    window=
    for _ in $(seq 120); do
        window=$(xdotool search --name '^French Vocabulary 1-1000$' 2>/dev/null | head -n 1 || true)
        [ -z "$window" ] || break
        sleep 0.5
    done
    [ -n "$window" ] || fail "no window within 60 seconds"
    sleep 1
}
close_pelko() {
    xdotool windowfocus --sync "$window"
    xdotool key Escape
    wait "$pelko" || fail "pelko.exe ended with status $?"
    pelko=
}
speak_option() {
    { fresh_run reg query "$options" /v SpeakFrenchWords 2>/dev/null || true; } | tr -d '\r' |
        awk '$1 == "SpeakFrenchWords" {print $3}'
}
# Starts a practise of level 1, whose first word is "le": nothing was heard
# before, and the first sound after is "le".
practise_says_le() {
    if /usr/bin/python3 "$heard" "$sound" 0 >"$work/heard.txt"; then
        fail "$1: a sound before any word was shown ($(cat "$work/heard.txt"))"
    fi
    xdotool mousemove --window "$window" 60 117 click 1
    local status=1
    for _ in $(seq 120); do
        status=0
        /usr/bin/python3 "$heard" "$sound" 0 "$work/le.raw" >"$work/heard.txt" || status=$?
        [ "$status" -eq 1 ] || [ "$status" -eq 2 ] || break
        sleep 0.5
    done
    case $status in
        0) echo "$1: $(cat "$work/heard.txt")" ;;
        1) fail "$1: nothing was heard within 60 seconds of the practise's start" ;;
        2) fail "$1: \"le\" began but did not end within 60 seconds" ;;
        *) fail "$1: not \"le\": $(cat "$work/heard.txt")" ;;
    esac
}

start_pelko
[ -z "$(speak_option)" ] || fail "SpeakFrenchWords is set before the learner chose it"
# The right-click menu, and S for "Speak French Words": the item is greyed
# out while the voice starts, so S is pressed again until the choice is kept
# (once it is, the menu has closed and S in the window does nothing).
xdotool mousemove --window "$window" 240 60 click 3
for _ in $(seq 20); do
    sleep 1
    [ "$(speak_option)" != 0x1 ] || break
    xdotool key s
done
for _ in $(seq 10); do
    [ "$(speak_option)" != 0x1 ] || break
    sleep 1
done
[ "$(speak_option)" = 0x1 ] || fail "\"Speak French Words\" could not be turned on (SpeakFrenchWords: $(speak_option))"
practise_says_le "turned on in the menu, a practise"
close_pelko

# Started again: still on, without the menu; and F5 says the word again,
# after it ended ("heard it: N samples from byte B").
start_pelko
practise_says_le "started again, a practise"
read -r _ _ samples _ _ _ byte <"$work/heard.txt"
after=$((byte + 2 * samples))
xdotool windowfocus --sync "$window"
xdotool key F5
again=1
for _ in $(seq 120); do
    again=0
    /usr/bin/python3 "$heard" "$sound" "$after" >"$work/heard.txt" || again=$?
    [ "$again" -eq 1 ] || break
    sleep 0.5
done
[ "$again" -eq 0 ] || fail "F5 said nothing within 60 seconds"
echo "F5: $(cat "$work/heard.txt")"
close_pelko
echo "ok"
