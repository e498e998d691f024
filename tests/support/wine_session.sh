#!/usr/bin/env bash
# Runs Windows programs under Wine for the tests, in a Wine prefix and on an X
# server that belong to one build folder, so that nothing of the user's own
# Wine set-up or display is used or changed.
#   wine_session.sh start DIR                   Xvfb on a free display, and a Wine prefix in DIR/prefix
#   wine_session.sh run DIR PROGRAM [ARGS...]   PROGRAM under Wine there; exits with its status
#   wine_session.sh wait DIR                    waits until no Windows program of the prefix runs
#                                               (those it started by itself included)
#   wine_session.sh stop DIR                    ends the X server and every Wine process of the prefix
set -euo pipefail
what=${1:?usage: wine_session.sh start|run|wait|stop DIR ...}
dir=${2:?usage: wine_session.sh start|run|wait|stop DIR ...}
shift 2

export WINEPREFIX=$dir/prefix WINEARCH=win64
# No debug chatter, and no offer to download Mono or Gecko.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The Windows Qt has only the Windows platform plugin.
unset QT_QPA_PLATFORM
if [ -s "$dir/display" ]; then
    export DISPLAY=:$(cat "$dir/display")
fi

stop() {
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
    fi
    if [ -s "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    fi
    rm -f "$dir/xvfb.pid" "$dir/display"
}

case "$what" in
    start)
        mkdir -p "$dir"
        stop
        # Xvfb picks a display no other X server holds and writes its number
        # to fd 3 once it is listening. Its own session and no inherited
        # output, so that CTest neither waits for it nor ends it with this step.
        setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display.new" \
            </dev/null >"$dir/xvfb.log" 2>&1 &
        echo $! >"$dir/xvfb.pid"
        for _ in $(seq 100); do
            if grep -q '[0-9]' "$dir/display.new" 2>/dev/null; then
                break
            fi
            sleep 0.1
        done
        tr -dc '0-9' <"$dir/display.new" >"$dir/display"
        rm -f "$dir/display.new"
        if [ ! -s "$dir/display" ]; then
            echo "wine_session: Xvfb did not start:" >&2
            cat "$dir/xvfb.log" >&2
            exit 1
        fi
        export DISPLAY=:$(cat "$dir/display")
        # Made once and kept; later runs only bring it up to date.
        wineboot --init >/dev/null 2>&1
        # pelko asks for Times New Roman, which Windows has and Wine has not;
        # Liberation Serif is its metric-compatible stand-in, as on Linux.
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Times New Roman" /d "Liberation Serif" /f \
            >/dev/null 2>&1
        wineserver -w
        echo "Wine prefix $WINEPREFIX on display $DISPLAY"
        ;;
    run)
        exec wine "$@"
        ;;
    wait)
        # The prefix's wineserver ends once the last program has ended.
        exec wineserver -w
        ;;
    stop)
        stop
        ;;
    *)
        echo "usage: wine_session.sh start|run|wait|stop DIR ..." >&2
        exit 2
        ;;
esac
