#!/bin/sh
# Renders Trellisane's application icon, data/icons/trellisane.svg, into the PNG sizes the
# desktop's icon theme uses: data/icons/trellisane.png (256 pixels, also compiled into the
# program as its window icon) and data/icons/trellisane-N.png for the smaller sizes. Needs
# Debian's librsvg2-bin. The results are committed, so a build never needs this script.
# Usage: scripts/make-icon.sh
set -eu

ICONS="$(dirname "$0")/../data/icons"
command -v rsvg-convert >/dev/null 2>&1 || {
    echo "make-icon.sh: rsvg-convert is missing (Debian package librsvg2-bin)" >&2
    exit 1
}

render() {
    rsvg-convert --width "$1" --height "$1" "$ICONS/trellisane.svg" --output "$2"
    echo "$2"
}

render 256 "$ICONS/trellisane.png"
for size in 16 24 32 48 64 128; do
    render "$size" "$ICONS/trellisane-$size.png"
done
