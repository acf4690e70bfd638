#!/bin/sh
# Tries the sample folders as a new user would, in a real window on a private X server (Xvfb):
# "Load Sample/Example Folders", answer No to the question, "Start Renaming", OK on "Done.",
# then checks on disk that every sample folder lost its digits. Works on a copy of the built
# program and its data in a temporary folder, so BUILD/Samples stays as it is. Saves a
# screenshot of each step in DOCS (default: docs/). Needs Debian's xvfb, xdotool, imagemagick.
# Usage: scripts/try-samples.sh BUILD [DOCS]
set -eu

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BUILD [DOCS]" >&2
    exit 2
fi
BUILD="$1"
DOCS="${2:-$(dirname "$0")/../docs}"
# shellcheck source=scripts/lib-xvfb.sh
. "$(dirname "$0")/lib-xvfb.sh"

# The names of the folders right inside $1, one a line, in byte order.
names_in() {
    find "$1" -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | LC_ALL=C sort
}

# Clicks the centre of a control of the window, given in the layout's twips (15 to the pixel):
# left, top, width, height.
click_control() {
    xdotool mousemove --window "$main" $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)) click 1
}

# The screen where the window is, with any box in front of it (boxes are centred on it).
shot() {
    settle
    eval "$(xdotool getwindowgeometry --shell "$main")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -strip "$DOCS/$1"
    echo "   $DOCS/$1"
}

no_error_report() {
    if xdotool search --onlyvisible --name '^Application Error$' >/dev/null 2>&1; then
        shot "try-samples-error.png"
        die "an error report appeared: see $DOCS/try-samples-error.png"
    fi
}

[ -x "$BUILD/trellisane" ] || die "$BUILD/trellisane is not built"
[ -d "$BUILD/Samples" ] || die "$BUILD/Samples is missing (build the data target)"
# The program renames the Samples folder beside itself: give it a copy of its own, in a folder
# with a short path so that the list shows the samples' names.
PROGRAM="$(mktemp -d "${TMPDIR:-/tmp}/try-XXXXXX")"
trap 'session_stop; rm -rf "$PROGRAM"' EXIT
trap 'exit 1' INT TERM
mkdir -p "$DOCS"
session_tmp
cp "$BUILD/trellisane" "$PROGRAM/"
for data in Samples x HAND-M.CUR; do
    if [ -e "$BUILD/$data" ]; then cp -R "$BUILD/$data" "$PROGRAM/"; fi
done
names_in "$PROGRAM/Samples" >"$SESSION_TMP/before"
sed 's/[0-9]//g' "$SESSION_TMP/before" | LC_ALL=C sort >"$SESSION_TMP/expected"
# Folders inside a sample are not listed: they move with their sample and keep their names.
nested_in() {
    find "$1" -mindepth 2 -type d -printf '%P\n' | LC_ALL=C sort
}
nested_in "$PROGRAM/Samples" | sed 'h;s#/.*##;s/[0-9]//g;G;s#\n[^/]*##' | LC_ALL=C sort \
    >"$SESSION_TMP/expected-nested"

xvfb_start 1024x640
app_start "$PROGRAM/trellisane"
main="$(window_wait Trellisane)" || exit 1
[ "$(window_size "$main")" = "696x343" ] || die "the window is not 696x343"
echo "1. The window opened."
shot "try-samples-1-start.png"

echo "2. Click \"Load Sample/Example Folders\"."
click_control 5280 2550 5040 405
question="$(window_wait Trellisane "$main")" || die "no question box appeared"
no_error_report
shot "try-samples-2-question.png"

echo "3. Answer No."
xdotool windowfocus --sync "$question" key n
settle
if xdotool search --onlyvisible --name '^Trellisane$' | grep -qv "^$main\$"; then
    die "the question box is still open after answering No"
fi
no_error_report
shot "try-samples-3-listed.png"

echo "4. Click \"Start Renaming\"."
click_control 120 4620 10200 405
done_box="$(window_wait Trellisane "$main")" || die "no \"Done.\" box appeared"
no_error_report
shot "try-samples-4-done.png"

echo "5. Dismiss \"Done.\"."
xdotool windowfocus --sync "$done_box" key Return
settle
no_error_report
shot "try-samples-5-renamed.png"

echo "6. Check the folders on disk."
names_in "$PROGRAM/Samples" >"$SESSION_TMP/after"
if ! cmp -s "$SESSION_TMP/expected" "$SESSION_TMP/after"; then
    echo "expected (digits removed):" >&2
    cat "$SESSION_TMP/expected" >&2
    echo "found:" >&2
    cat "$SESSION_TMP/after" >&2
    die "the sample folders did not lose their digits"
fi
nested_in "$PROGRAM/Samples" | cmp -s - "$SESSION_TMP/expected-nested" ||
    die "a folder inside a sample was not carried along under its own name"
names_in "$BUILD/Samples" | cmp -s - "$SESSION_TMP/before" ||
    die "$BUILD/Samples changed, though only the copy was to be renamed"
sed 's/^/   /' "$SESSION_TMP/after"
echo "All $(wc -l <"$SESSION_TMP/after") sample folders lost their digits; $BUILD/Samples is untouched."
