#!/usr/bin/env bash
# Draws every picture of the program with ImageMagick: the icon into $1, PNGs into $2 (Images/).
set -euo pipefail
work=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work" "$out"

# Program icon: a rounded accent tile holding a small cluster map.
icon_png() {
    local size=$1 file=$2
    local r=$((size / 6))
    local pad=$((size / 5)) cell=$(((size - 2 * (size / 5)) / 4))
    local draw="fill #2F6FB5 roundrectangle 0,0 $((size - 1)),$((size - 1)) $r,$r"
    local colors=("#FFFFFF" "#FFFFFF" "#9CC3EA" "#FFFFFF" "#9CC3EA" "#FFFFFF" "#FFFFFF" "#E46B5D" "#FFFFFF" "#9CC3EA" "#FFFFFF" "#FFFFFF" "#FFFFFF" "#FFFFFF" "#9CC3EA" "#FFFFFF")
    local i=0 x y
    for y in 0 1 2 3; do
        for x in 0 1 2 3; do
            local x0=$((pad + x * cell + 1)) y0=$((pad + y * cell + 1))
            draw+=" fill ${colors[$i]} rectangle $x0,$y0 $((x0 + cell - 2)),$((y0 + cell - 2))"
            i=$((i + 1))
        done
    done
    convert -size "${size}x${size}" xc:none -draw "$draw" "PNG32:$file"
}
for s in 16 32 48 256; do icon_png "$s" "$work/icon-$s.png"; done
convert "$work"/icon-16.png "$work"/icon-32.png "$work"/icon-48.png "$work"/icon-256.png "$work/zyr.ico"

# The interface pictures.
for part in "$here"/draw-*.sh; do
    [ -e "$part" ] || continue
    bash "$part" "$out"
done
