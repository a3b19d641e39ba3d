#!/usr/bin/env bash
# The defrag page's pictures: the four cluster-map cells, the page header and its home button.
set -euo pipefail
out=$1
mkdir -p "$out/defrag" "$out/buttons and headers"

# An 8x8 cell: a flat face with a one-pixel darker rim, no smoothing.
cell() {
    local face=$1 rim=$2 file=$3
    convert -size 8x8 "xc:$rim" -fill "$face" -draw "rectangle 1,1 6,6" +antialias "PNG32:$file"
}
cell "#E0483A" "#A8261B" "$out/defrag/c_frag.png"
cell "#3F7FD0" "#24569A" "$out/defrag/c_unfrag.png"
cell "#8FA59A" "#5F7468" "$out/defrag/c_unmove.png"
cell "#B9B9B9" "#8C8C8C" "$out/defrag/c_unknown.png"

# A drive with a small map on it, in the style of the program icon.
drive_art() {
    local size=$1 file=$2
    local s=$((size))
    local body="fill #2F6FB5 roundrectangle $((s/16)),$((s/4)) $((s - s/16 - 1)),$((s - s/4)) $((s/10)),$((s/10))"
    local draw="$body"
    local cols=5 rows=2 pad=$((s/8)) gap=$((s/32 > 0 ? s/32 : 1))
    local cw=$(((s - 2 * pad - (cols - 1) * gap) / cols)) ch=$(((s / 2 - pad - (rows - 1) * gap) / rows))
    local colors=("#FFFFFF" "#E46B5D" "#9CC3EA" "#FFFFFF" "#9CC3EA" "#9CC3EA" "#FFFFFF" "#E46B5D" "#FFFFFF" "#9CC3EA")
    local i=0 x y
    for y in 0 1; do
        for x in 0 1 2 3 4; do
            local x0=$((pad + x * (cw + gap))) y0=$((s / 4 + pad / 2 + y * (ch + gap)))
            draw+=" fill ${colors[$i]} rectangle $x0,$y0 $((x0 + cw - 1)),$((y0 + ch - 1))"
            i=$((i + 1))
        done
    done
    draw+=" fill #7FE08A circle $((s - pad - s/16)),$((s - s/4 - s/8)) $((s - pad - s/16 + s/24)),$((s - s/4 - s/8))"
    convert -size "${s}x${s}" xc:none -draw "$draw" "PNG32:$file"
}
drive_art 64 "$out/buttons and headers/header_defrag.png"
drive_art 48 "$out/buttons and headers/button_defrag.png"
