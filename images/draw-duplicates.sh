#!/usr/bin/env bash
# The duplicate finder's pictures: group heading icons (32 px) and the list's link icons (16 px).
set -euo pipefail
out=$1
mkdir -p "$out/group" "$out/general"

# A rounded tile in the category's colour with a white glyph drawn over it.
tile() {
    local file=$1 colour=$2 glyph=$3
    convert -size 64x64 xc:none -draw "fill $colour roundrectangle 2,2 61,61 12,12" \
        -fill white -stroke none -draw "$glyph" -resize 32x32 "PNG32:$out/group/$file"
}
tile dup_image.png "#3E8ED0" "polygon 12,48 26,28 36,40 42,32 52,48 fill #FFD75E circle 22,20 22,14"
tile dup_audio.png "#8E5CC2" "rectangle 26,14 30,44 rectangle 26,14 46,18 rectangle 42,14 46,38 circle 22,44 22,37 circle 38,38 38,31"
tile dup_video.png "#D0603E" "roundrectangle 12,20 40,44 4,4 polygon 42,28 52,22 52,42 42,36"
tile dup_doc.png "#3FA66A" "polygon 18,12 38,12 46,20 46,52 18,52 fill #3FA66A rectangle 23,26 41,28 rectangle 23,33 41,35 rectangle 23,40 35,42"
tile dup_other.png "#6F7E8C" "polygon 18,12 38,12 46,20 46,52 18,52 fill #6F7E8C circle 32,34 32,30"

# Link icons: recycle bin, remove (a cross) and open (an arrow out of a box).
convert -size 32x32 xc:none -fill "#4F7FB0" -draw "rectangle 8,9 24,11 rectangle 13,6 19,8 polygon 9,13 23,13 21,28 11,28" \
    -fill white -draw "rectangle 13,16 14,25 rectangle 18,16 19,25" -resize 16x16 "PNG32:$out/general/recycle.png"
convert -size 32x32 xc:none -stroke "#C0483A" -strokewidth 5 -draw "line 8,8 24,24 line 24,8 8,24" \
    -resize 16x16 "PNG32:$out/general/delete.png"
convert -size 32x32 xc:none -fill none -stroke "#4F7FB0" -strokewidth 3 -draw "rectangle 5,9 22,26" \
    -strokewidth 4 -draw "line 14,18 26,6 line 18,6 27,6 line 26,5 26,14" -resize 16x16 "PNG32:$out/general/open.png"
