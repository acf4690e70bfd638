#!/bin/sh
# Draws Trellisane's application icon with ImageMagick: a stack of folders on a blue tile, the
# front one labelled "Aa" for renaming. Usage: scripts/make-icon.sh [OUT.png]
# The result is committed (data/icons/trellisane.png), so a build never needs this script.
set -eu

OUT="${1:-$(dirname "$0")/../data/icons/trellisane.png}"
FONT="$(fc-match -f '%{file}' 'Liberation Sans:bold')"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

# The tile: a rounded square with a top-to-bottom gradient and a soft shadow.
convert -size 224x224 gradient:'#4f9be8'-'#1f4f8f' \
    \( -size 224x224 xc:none -fill white -draw 'roundrectangle 0,0 223,223 44,44' \) \
    -alpha off -compose CopyOpacity -composite "$TMP/tile.png"
convert -size 256x256 xc:none \
    \( "$TMP/tile.png" -background black -shadow 40x6+0+6 \) -gravity center -compose over -composite \
    "$TMP/tile.png" -gravity center -composite "$TMP/base.png"

# A folder: back panel with its tab, then the lighter front panel. $1 x offset, $2 y offset,
# $3 back colour, $4 front colour.
folder() {
    printf "fill %s roundrectangle %d,%d %d,%d 8,8 " "$3" $(($1 + 0)) $(($2 + 0)) $(($1 + 50)) $(($2 + 24))
    printf "fill %s roundrectangle %d,%d %d,%d 10,10 " "$3" $(($1 + 0)) $(($2 + 12)) $(($1 + 140)) $(($2 + 104))
    printf "fill %s roundrectangle %d,%d %d,%d 10,10 " "$4" $(($1 + 0)) $(($2 + 30)) $(($1 + 140)) $(($2 + 104))
}

convert "$TMP/base.png" \
    -draw "$(folder 78 52 '#9cc3ee' '#c9defa')" \
    -draw "$(folder 66 66 '#d9a43a' '#f2c55c')" \
    -draw "$(folder 54 80 '#e0a52f' '#ffd166')" \
    -font "$FONT" -pointsize 56 -fill '#1f4f8f' -gravity northwest -annotate +88+120 'Aa' \
    -depth 8 -strip "PNG32:$OUT"
echo "$OUT"
