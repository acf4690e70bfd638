# shellcheck shell=sh
# Shared by screenshot.sh and try-samples.sh (sourced, not run): a private X server (Xvfb) and
# the window on it. Needs Debian's xvfb, xdotool and imagemagick (for `import`).
#
#   xvfb_start WIDTHxHEIGHT      starts Xvfb on a free display; sets DISPLAY
#   app_start PROGRAM            runs PROGRAM there with a throwaway HOME and settings folder
#   window_wait NAME [EXCEPT]    prints the id of the visible window titled exactly NAME (other
#                                than EXCEPT), waiting up to 20 s; fails when none shows up
#   session_stop                 ends the program and the X server, removes the temp folder
# Call session_stop from an EXIT trap.

SESSION_TMP=""
XVFB_PID=""
APP_PID=""

die() {
    echo "$(basename "$0"): $*" >&2
    exit 1
}

require_tools() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 ||
            die "'$tool' is missing (Debian packages: xvfb xdotool imagemagick)"
    done
}

session_stop() {
    if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then
        kill "$APP_PID" 2>/dev/null || true
        wait "$APP_PID" 2>/dev/null || true
    fi
    if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    if [ -n "$SESSION_TMP" ]; then
        rm -rf "$SESSION_TMP"
    fi
}

session_tmp() {
    if [ -z "$SESSION_TMP" ]; then
        SESSION_TMP="$(mktemp -d "${TMPDIR:-/tmp}/trellisane-xvfb.XXXXXX")"
    fi
}

xvfb_start() {
    require_tools Xvfb xdotool import
    session_tmp
    # -displayfd lets the server pick a free display number and tell it.
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$SESSION_TMP/display" \
        >"$SESSION_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    i=0
    while [ ! -s "$SESSION_TMP/display" ]; do
        kill -0 "$XVFB_PID" 2>/dev/null || die "Xvfb did not start: $(cat "$SESSION_TMP/xvfb.log")"
        i=$((i + 1))
        [ "$i" -lt 100 ] || die "Xvfb gave no display number within 10 s"
        sleep 0.1
    done
    DISPLAY=":$(head -n1 "$SESSION_TMP/display")"
    export DISPLAY
}

app_start() {
    session_tmp
    mkdir -p "$SESSION_TMP/home" "$SESSION_TMP/config" "$SESSION_TMP/runtime"
    chmod 700 "$SESSION_TMP/runtime"
    # A throwaway home and settings folder: nothing of the person's own is read or written.
    env -u WAYLAND_DISPLAY -u SESSION_MANAGER \
        HOME="$SESSION_TMP/home" XDG_CONFIG_HOME="$SESSION_TMP/config" \
        XDG_RUNTIME_DIR="$SESSION_TMP/runtime" QT_QPA_PLATFORM=xcb \
        "$1" >"$SESSION_TMP/app.log" 2>&1 &
    APP_PID=$!
}

window_wait() {
    name="$1"
    except="${2:-}"
    i=0
    while :; do
        # About one start in a hundred tries the maker's home page; with no browser on the
        # private display that ends in an error report, which is answered so the run goes on.
        if [ "$name" != "Application Error" ]; then
            for id in $(xdotool search --onlyvisible --name '^Application Error$' 2>/dev/null); do
                xdotool windowfocus --sync "$id" key Return 2>/dev/null || true
            done
        fi
        for id in $(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null); do
            if [ "$id" != "$except" ]; then
                echo "$id"
                return 0
            fi
        done
        if [ -n "$APP_PID" ] && ! kill -0 "$APP_PID" 2>/dev/null; then
            echo "$(basename "$0"): the program ended early; its output:" >&2
            cat "$SESSION_TMP/app.log" >&2
            return 1
        fi
        i=$((i + 1))
        if [ "$i" -ge 200 ]; then
            echo "$(basename "$0"): no window titled '$name' within 20 s" >&2
            return 1
        fi
        sleep 0.1
    done
}

# Prints WIDTHxHEIGHT of a window's inner area.
window_size() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "${WIDTH}x${HEIGHT}"
}

# Gives a newly shown window half a second to paint before it is photographed or clicked.
settle() {
    sleep 0.5
}
