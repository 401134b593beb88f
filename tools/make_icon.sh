#!/bin/sh
# Draws the desktop program's icon (a note cut into slices on a keyboard-blue tile) with
# ImageMagick and writes src/ui/rendlow.ico with 16, 32 and 48 pixel images.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 48x48 xc:none \
  -fill '#1d3f8c' -draw 'roundrectangle 1,1 46,46 8,8' \
  -fill '#f2f5fb' -draw 'ellipse 17,34 9,7 0,360' \
  -fill '#f2f5fb' -draw 'rectangle 23,8 27,34' \
  -fill '#f2f5fb' -draw 'polygon 27,8 39,14 39,20 27,14' \
  -fill '#1d3f8c' -draw 'rectangle 4,22 44,24' \
  -fill '#1d3f8c' -draw 'rectangle 4,30 44,32' \
  -fill '#f5b400' -draw 'rectangle 34,34 44,44' \
  "$work/icon48.png"
convert "$work/icon48.png" -resize 32x32 "$work/icon32.png"
convert "$work/icon48.png" -resize 16x16 "$work/icon16.png"
convert "$work/icon16.png" "$work/icon32.png" "$work/icon48.png" "$here/src/ui/rendlow.ico"
