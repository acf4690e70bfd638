#!/bin/sh
# Photographs the window with rows that Start Renaming would not rename: a copy of the program
# and its samples, with three folders beside the samples that stand in their way ("PROJECT
# alpha" and "Photos Summer Trip" hold the names two samples lose their digits to, "2024" loses
# its whole name). "Load Sample/Example Folders", No to the question, then the mouse rests on a
# marked New Name cell until its tooltip shows; saves DOCS/screenshot-conflicts.png. Nothing is
# renamed. Needs Debian's xvfb, xdotool and imagemagick.
# Usage: scripts/screenshot-conflicts.sh BUILD [DOCS]
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
[ -d "$BUILD/Samples" ] || die "$BUILD/Samples is missing (build the data target)"
PROGRAM="$(mktemp -d "${TMPDIR:-/tmp}/conflicts-XXXXXX")"
trap 'session_stop; rm -rf "$PROGRAM"' EXIT
trap 'exit 1' INT TERM
mkdir -p "$DOCS"
DOCS="$(cd "$DOCS" && pwd)"
cp "$BUILD/trellisane" "$PROGRAM/"
for data in Samples x HAND-M.CUR; do
    if [ -e "$BUILD/$data" ]; then cp -R "$BUILD/$data" "$PROGRAM/"; fi
done
mkdir "$PROGRAM/Samples/PROJECT alpha" "$PROGRAM/Samples/Photos Summer Trip" \
    "$PROGRAM/Samples/2024"

xvfb_start 1024x640
app_start "$PROGRAM/trellisane"
main="$(window_wait Trellisane)" || exit 1
settle
# Controls are placed in twips (15 to the pixel): left, top, width, height.
xdotool mousemove --window "$main" $(((5280 + 5040 / 2) / 15)) $(((2550 + 405 / 2) / 15)) click 1
question="$(window_wait Trellisane "$main")" || die "no question box appeared"
xdotool windowfocus --sync "$question" key n
settle
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool windowfocus --sync "$main"  # tooltips show over the active window only
# The New Name cell of the fifth row ("PROJECT alpha2", its name taken): the list starts 8 px
# in, its second column 5000 twips further; the header and each row are about 20 px high.
CELL_X=$((X + 8 + 5000 / 15 + 120))
CELL_Y=$((Y + 8 + 20 + 4 * 20 + 10))
xdotool mousemove $((CELL_X - 10)) $((CELL_Y - 2))
sleep 0.3
xdotool mousemove "$CELL_X" "$CELL_Y"
sleep 1.5
# The whole width of the screen: the tooltip may reach beyond the window.
import -window root -crop "1024x${HEIGHT}+0+${Y}" +repage -strip \
    "$DOCS/screenshot-conflicts.png"
echo "$DOCS/screenshot-conflicts.png"
