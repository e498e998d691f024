# Sourced by the Wine tests: finding pelko's window on the session's X server.
#   window=$(wine_window [TITLE])   the first window of exactly that title
#                                   ("French Vocabulary 1-1000" by default), or
#                                   nothing after 60 seconds without one
# Polled: xdotool's own waiting gives up on a window that goes while it looks.
wine_window() {
    local title=${1:-French Vocabulary 1-1000} window=
    for _ in $(seq 120); do
        window=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
        sleep 0.5
    done
}
