#!/bin/sh
# Photographs the Trellisane window: starts a private X server (Xvfb), opens BUILD/trellisane on
# it with a throwaway home, checks that the window titled "Trellisane" measures 696x343, and
# saves it to OUT.png. Needs Debian's xvfb, xdotool and imagemagick.
# Usage: scripts/screenshot.sh BUILD OUT.png
set -eu

[ $# -eq 2 ] || { echo "usage: $0 BUILD OUT.png" >&2; exit 2; }
BUILD="$1"
OUT="$2"
# shellcheck source=scripts/lib-xvfb.sh
. "$(dirname "$0")/lib-xvfb.sh"

[ -x "$BUILD/trellisane" ] || die "$BUILD/trellisane is not built"
trap session_stop EXIT
trap 'exit 1' INT TERM

xvfb_start 1024x640
app_start "$BUILD/trellisane"
window="$(window_wait Trellisane)" || exit 1
size="$(window_size "$window")"
[ "$size" = "696x343" ] || die "the window measures $size, not 696x343"
settle

mkdir -p "$(dirname "$OUT")"
import -window "$window" -strip "$OUT"
echo "$OUT: the Trellisane window, $size"
