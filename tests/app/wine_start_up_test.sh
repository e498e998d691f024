#!/usr/bin/env bash
# pelko.exe as a learner meets it, under Wine on the session's X server: its
# window opens, a practise of level 1 answered with the keys 1 to 4 leaves
# its result and the level's best in the registry after the result an earlier
# version left there (put in with `reg add`), a second start hands over
# to the running copy and ends with status 0 (1 when no process of this
# user answered on the pipe), and Escape closes the window.
#   wine_start_up_test.sh SESSION_DIR PELKO_EXE [SCREENSHOT.png]
# SESSION_DIR is a session of tests/support/wine_session.sh that is started.
set -euo pipefail
session=$1
exe=$2
screenshot=${3:-}
session_sh=$(dirname "$0")/../support/wine_session.sh
. "$(dirname "$0")/../support/wine_window.sh"
export DISPLAY=:$(cat "$session/display")
key='HKCU\Software\Dravilo\pelko\Results'

wine_run() { bash "$session_sh" run "$session" "$@"; }
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# A value of the results key as `reg query` shows it ("REG_DWORD 0x35"), or nothing.
stored() {
    { wine_run reg query "$key" /v "$1" 2>/dev/null || true; } | tr -d '\r' |
        awk -v n="$1" '$1 == n {$1 = ""; print substr($0, 2)}'
}

# A learner coming from an earlier version:
wine_run reg delete 'HKCU\Software\Dravilo\pelko' /f >/dev/null 2>&1 || true
# What an earlier version left: one result of level 1, its best, as REG_SZ and REG_DWORD.
# The best is high enough that a practise answered at random may still beat it.
earlier='  09 mins, 59 secs Tries :500'
wine_run reg add "$key" /v Result1_1 /t REG_SZ /d "$earlier" /f >/dev/null
wine_run reg add "$key" /v BestResult1 /t REG_DWORD /d 500 /f >/dev/null

# Not through a function: $! is then Wine's own process, which the trap can end.
bash "$session_sh" run "$session" "$exe" >"$session/first.log" 2>&1 &
first=$!
trap 'kill $first 2>/dev/null || true' EXIT
window=$(wine_window)
[ -n "$window" ] || fail "no window named \"French Vocabulary 1-1000\" within 60 seconds"
sleep 1

# The level button "1-50" (its place in the dialog template, at Wine's 96
# dpi) starts a practise of level 1; the keys go to the focused window.
xdotool mousemove --window "$window" 60 117 click 1
xdotool windowfocus --sync "$window"
# Each question takes the first key after the pause of the last answer, so
# 1, 2, 3, 4 in turn answer at random; a word answered wrongly comes back
# until the level is done, about 200 answers.
started=$SECONDS
shot_taken=false
best=
n=0
while [ $((SECONDS - started)) -lt 420 ]; do
    xdotool key $((n % 4 + 1))
    n=$((n + 1))
    sleep 0.1
    if [ -n "$screenshot" ] && ! $shot_taken && [ $((SECONDS - started)) -ge 20 ]; then
        import -window root "$screenshot"
        shot_taken=true
    fi
    if [ $((n % 30)) -eq 0 ]; then
        # The new line goes after the one already there: pelko read it.
        result=$(stored Result1_2)
        if [ -n "$result" ]; then
            break
        fi
    fi
done
[ -n "$result" ] || fail "no Result1_2 after $((SECONDS - started)) seconds of answers"
echo "practise of level 1 done after $n key presses, $((SECONDS - started)) seconds"

# "  01 mins, 10 secs Tries :52" as a text, its tries as the level's best number
# where they beat the earlier best; the earlier line is left as it was.
[[ "$(stored Result1_1)" =~ ^REG_SZ\ +09\ mins,\ 59\ secs\ Tries\ :500$ ]] ||
    fail "the earlier Result1_1 became \"$(stored Result1_1)\""
best=$(stored BestResult1)
[[ "$result" =~ ^REG_SZ\ +[0-9]{2}\ mins,\ [0-9]{2}\ secs\ Tries\ :([0-9]+) ]] ||
    fail "Result1_2 is \"$result\""
tries=${BASH_REMATCH[1]}
[ "$tries" -ge 50 ] || fail "a practise of 50 words in $tries tries"
[ "$best" = "REG_DWORD $(printf '0x%x' $((tries < 500 ? tries : 500)))" ] ||
    fail "BestResult1 is \"$best\", Result1_2 \"$result\""
echo "Result1_1: $earlier (there before); Result1_2: $result; BestResult1: $best"

# A second start while the first runs: it hands over and ends, status 0
# (the first answered, its pipe served by a process of this user).
timeout 60 bash "$session_sh" run "$session" "$exe" >"$session/second.log" 2>&1 ||
    fail "a second start ended with status $? ($(cat "$session/second.log"))"
kill -0 "$first" 2>/dev/null || fail "the first copy ended when the second started"
[ "$(xdotool search --name '^French Vocabulary 1-1000$' 2>/dev/null | wc -l)" -eq 1 ] ||
    fail "two windows after a second start"

# Escape closes the window, and pelko ends with status 0.
xdotool windowfocus --sync "$window"
xdotool key Escape
for _ in $(seq 100); do
    kill -0 "$first" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$first" 2>/dev/null && fail "pelko still runs 20 seconds after Escape"
wait "$first" || fail "pelko ended with status $?"
trap - EXIT
echo "ok"
