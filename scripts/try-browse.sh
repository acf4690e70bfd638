#!/bin/sh
# Tries the browse dialog as a new user would, with real key presses in a real window on a
# private X server (Xvfb). Two sibling folders share a prefix: rv/b, which holds a copy of the
# program and is the working folder (as with `make run`), and rv/big, a tree of long names.
# With "Add subfolders when adding folder" ticked, it clicks "Add Folder/s", types the full
# path of rv/big into the dialog's "Directory:" field key by key (its completion popup opens)
# and presses Enter; photographs the window with the long paths listed and a cell's tooltip
# (DOCS/screenshot-long-paths.png); then "Start Renaming" (UPPER CASE) and checks on disk that
# rv/big's tree, and nothing of rv/b, was renamed. Needs Debian's xvfb, xdotool, imagemagick.
# Usage: scripts/try-browse.sh BUILD [DOCS]
set -eu

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BUILD [DOCS]" >&2
    exit 2
fi
BUILD="$(cd "$1" && pwd)"
DOCS="${2:-$(dirname "$0")/../docs}"
# shellcheck source=scripts/lib-xvfb.sh
. "$(dirname "$0")/lib-xvfb.sh"

[ -x "$BUILD/trellisane" ] || die "$BUILD/trellisane is not built"
trap session_stop EXIT
trap 'exit 1' INT TERM
mkdir -p "$DOCS"
DOCS="$(cd "$DOCS" && pwd)"
session_tmp
RV="$SESSION_TMP/rv"
mkdir -p "$RV/b"
cp "$BUILD/trellisane" "$RV/b/"
for data in x HAND-M.CUR; do
    if [ -e "$BUILD/$data" ]; then cp -R "$BUILD/$data" "$RV/b/"; fi
done
for i in $(seq 1 20); do mkdir -p "$RV/b/build-$i"; done
TRIP="$RV/big/Holiday photos from the summer of two thousand and nineteen"
mkdir -p "$TRIP/Day one at the seaside with the whole family" \
    "$TRIP/Day two in the mountains before the rain came" \
    "$RV/big/Receipts and invoices kept for the tax return"
find "$RV" -mindepth 1 -type d -printf '%P\n' | LC_ALL=C sort >"$SESSION_TMP/before"

xvfb_start 1024x640
cd "$RV/b"  # the working folder is the program's own, as with `make run`
app_start "$RV/b/trellisane"
main="$(window_wait Trellisane)" || exit 1
settle
# Controls are placed in twips (15 to the pixel): left, top, width, height.
click_control() {
    xdotool mousemove --window "$main" $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)) click 1
}
echo "1. Tick \"Add subfolders when adding folder\", click \"Add Folder/s\"."
click_control $((120 + 240)) $((3030 + 270)) 3255 255
click_control 120 2040 5040 405
dialog="$(window_wait 'Please select folder:')" || die "no browse dialog appeared"
settle
echo "2. Type $RV/big key by key, then Enter."
xdotool windowfocus --sync "$dialog"
xdotool type --delay 60 "$RV/big"
sleep 1
import -window root -strip "$SESSION_TMP/typed.png"
xdotool key Return
sleep 1
if xdotool search --onlyvisible --name '^Please select folder:$' >/dev/null 2>&1; then
    die "the browse dialog is still open after Enter"
fi
echo "3. Photograph the listed long paths with a cell's tooltip."
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool windowfocus --sync "$main"  # tooltips show over the active window only
# The first row's New Name cell: the list starts 8 px in; its header is about 20 px high.
xdotool mousemove $((X + 150)) $((Y + 8 + 20 + 20))
sleep 0.3
xdotool mousemove $((X + 160)) $((Y + 8 + 20 + 24))  # the second row's current path
sleep 1.5
# The whole width of the screen, so the tooltip with its long path shows in full.
import -window root -crop "1024x${HEIGHT}+0+${Y}" +repage -strip "$DOCS/screenshot-long-paths.png"
echo "   $DOCS/screenshot-long-paths.png"
echo "4. Click \"Start Renaming\" and dismiss \"Done.\"."
click_control 120 4620 10200 405
done_box="$(window_wait Trellisane "$main")" || die "no \"Done.\" box appeared"
xdotool windowfocus --sync "$done_box" key Return
settle
echo "5. Check the folders on disk."
find "$RV" -mindepth 1 -type d -printf '%P\n' | LC_ALL=C sort >"$SESSION_TMP/after"
# Expected: everything below rv/big upper-cased, rv/b and its folders as they were.
awk '{ if (index($0, "big") == 1) print toupper($0); else print }' "$SESSION_TMP/before" |
    LC_ALL=C sort >"$SESSION_TMP/expected"
if ! cmp -s "$SESSION_TMP/expected" "$SESSION_TMP/after"; then
    echo "expected:" >&2
    cat "$SESSION_TMP/expected" >&2
    echo "found:" >&2
    cat "$SESSION_TMP/after" >&2
    cp "$SESSION_TMP/typed.png" "$DOCS/try-browse-typed.png"
    die "the folders renamed are not rv/big's (the dialog as typed: $DOCS/try-browse-typed.png)"
fi
sed 's/^/   /' "$SESSION_TMP/after" | grep -v 'build-'
echo "rv/big and the $(grep -c '^BIG' "$SESSION_TMP/after") folders of its tree were renamed; rv/b and its 20 folders are untouched."
