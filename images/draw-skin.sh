#!/usr/bin/env bash
# The pictures of the main window and its pages: frame, tabs, caption buttons, navigation
# buttons, logo, page headers, home and tool buttons, start button and its animation.
# One style: rounded tiles with a soft vertical gradient, a top gloss and white line glyphs.
# Glyphs are drawn on a 96-unit canvas and scaled down, so every size stays crisp.
set -euo pipefail
out=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
main="$out/Main"
mkdir -p "$main/Tabs"  "$out/tab icons" "$out/top nav icons" "$out/buttons and headers" "$out/Start Anim"

png() { convert "$@"; }

# rounded_fill W H R C1 C2 FILE: a vertical gradient C1 -> C2 inside a rounded rectangle.
rounded_fill() {
    local w=$1 h=$2 r=$3 c1=$4 c2=$5 file=$6
    convert -size "${w}x${h}" xc:none -fill white -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r" "$tmp/mask.png"
    convert -size "${w}x${h}" "gradient:$c1-$c2" "$tmp/mask.png" -compose DstIn -composite "PNG32:$file"
}

# tile NAME C1 C2 GLYPH: a 96x96 tile with a soft shadow, a gloss and a white glyph (MVG).
tile() {
    local name=$1 c1=$2 c2=$3 glyph=$4
    rounded_fill 84 84 18 "$c1" "$c2" "$tmp/face.png"
    # gloss over the upper half
    convert -size 84x42 gradient:'rgba(255,255,255,0.38)-rgba(255,255,255,0.04)' \
        \( -size 84x84 xc:none -fill white -draw "roundrectangle 0,0 83,83 18,18" -crop 84x42+0+0 +repage \) \
        -compose DstIn -composite "$tmp/gloss.png"
    convert "$tmp/face.png" "$tmp/gloss.png" -geometry +0+0 -compose Over -composite \
        -fill none -stroke 'rgba(0,0,0,0.22)' -strokewidth 1.5 -draw "roundrectangle 0.75,0.75 83.25,83.25 18,18" "$tmp/tileface.png"
    # shadow below
    convert -size 96x96 xc:none -fill 'rgba(0,20,40,0.35)' -draw "roundrectangle 7,10 89,92 18,18" -blur 0x3 "$tmp/shadow.png"
    convert "$tmp/shadow.png" "$tmp/tileface.png" -geometry +6+4 -compose Over -composite \
        -fill none -stroke white -strokewidth 5 -draw "stroke-linecap round stroke-linejoin round $glyph" \
        "PNG32:$tmp/$name.png"
}

# Glyphs (96-unit canvas, tile face spans 6..90 x 4..88).
g_defrag="fill white stroke none rectangle 24,26 36,38 rectangle 42,26 54,38 rectangle 60,26 72,38 rectangle 24,44 36,56 rectangle 42,44 54,56 fill rgba(255,255,255,0.45) rectangle 60,44 72,56 rectangle 24,62 36,74 fill white rectangle 42,62 54,74 fill rgba(255,255,255,0.45) rectangle 60,62 72,74"
g_dup="fill rgba(255,255,255,0.35) stroke white path 'M 26,30 L 50,30 L 58,38 L 58,70 L 26,70 Z' fill none path 'M 38,22 L 62,22 L 70,30 L 70,62' line 50,30 50,38 line 50,38 58,38"
g_restore="fill none stroke white path 'M 30,48 A 18,18 0 1 1 36,62' fill white stroke none polygon 22,46 38,46 30,58 fill none stroke white line 48,38 48,50 line 48,50 57,56"
g_schedule="fill none stroke white roundrectangle 24,28 72,72 6,6 line 24,40 72,40 line 36,22 36,32 line 60,22 60,32 fill white stroke none rectangle 32,48 40,54 rectangle 44,48 52,54 rectangle 56,48 64,54 rectangle 32,60 40,66 rectangle 44,60 52,66"
gear() {  # gear CX CY R1 R2 TEETH -> a polygon
    awk -v cx="$1" -v cy="$2" -v r1="$3" -v r2="$4" -v n="$5" 'BEGIN{pi=atan2(0,-1);s="polygon";
      for(i=0;i<n;i++){a=2*pi*i/n;d=pi/n;
        for(k=0;k<4;k++){aa=a+(k-1.5)*d*0.5; r=(k==1||k==2)?r2:r1; s=s sprintf(" %.2f,%.2f",cx+r*cos(aa),cy+r*sin(aa))}}
      print s}'
}
g_gear="fill white stroke none $(gear 48 46 17 24 8) fill rgba(40,90,150,1) circle 48,46 48,54"
g_gear_tile="fill white stroke none $(gear 48 46 17 24 8) fill rgba(80,100,120,1) circle 48,46 48,54"
g_disk="fill none stroke white roundrectangle 22,30 74,66 6,6 line 22,54 74,54 fill white stroke none circle 64,60 64,62.5 rectangle 30,58 48,61"

tile defrag '#5AA7EC' '#2366B0' "$g_defrag"
tile duplicate '#47B5B0' '#1E7E86' "$g_dup"
tile restore '#62B36B' '#2E7D3E' "$g_restore"
tile schedule '#7A86E0' '#4650A8' "$g_schedule"
tile general '#8C9BAA' '#56667A' "$g_gear_tile"
tile settings '#8C9BAA' '#56667A' "$g_gear_tile"
tile disk '#5AA7EC' '#2366B0' "$g_disk"

bh="$out/buttons and headers"
for pair in defrag:button_defrag duplicate:button_duplicate restore:button_restore schedule:button_defrag_schedule general:button_generalsettings; do
    convert "$tmp/${pair%%:*}.png" -filter Lanczos -resize 52x52 "PNG32:$bh/${pair##*:}.png"
done
for pair in disk:header_disk defrag:header_defrag duplicate:header_duplicate restore:header_restore settings:header_settings general:settings_general schedule:settings_defrag_schedule; do
    convert "$tmp/${pair%%:*}.png" -filter Lanczos -resize 76x76 "PNG32:$bh/${pair##*:}.png"
done

# Home and tool button faces (165 x 81, under a 52-pixel icon), normal and pointer over.
button_face() {
    local c1=$1 c2=$2 border=$3 file=$4
    rounded_fill 161 76 12 "$c1" "$c2" "$tmp/bface.png"
    convert -size 165x81 xc:none -fill 'rgba(0,30,60,0.22)' -draw "roundrectangle 3,5 161,79 12,12" -blur 0x2 "$tmp/bshadow.png"
    convert "$tmp/bshadow.png" "$tmp/bface.png" -geometry +2+1 -compose Over -composite \
        -fill none -stroke "$border" -strokewidth 1 -draw "roundrectangle 2.5,1.5 161.5,76.5 12,12" "PNG32:$file"
}
button_face '#FFFFFF' '#E8EEF5' '#BFCFDF' "$bh/button.png"
button_face '#FFFFFF' '#D6E8F8' '#4F97D8' "$bh/button_over.png"

# Start button face (370 x 201) under the 120-pixel animation.
start_face() {
    local c1=$1 c2=$2 file=$3
    rounded_fill 364 194 22 "$c1" "$c2" "$tmp/sface.png"
    convert -size 364x97 gradient:'rgba(255,255,255,0.30)-rgba(255,255,255,0.03)' \
        \( -size 364x194 xc:none -fill white -draw "roundrectangle 0,0 363,193 22,22" -crop 364x97+0+0 +repage \) \
        -compose DstIn -composite "$tmp/sgloss.png"
    convert -size 370x201 xc:none -fill 'rgba(0,25,50,0.30)' -draw "roundrectangle 4,6 366,198 22,22" -blur 0x3 "$tmp/sshadow.png"
    convert "$tmp/sface.png" "$tmp/sgloss.png" -compose Over -composite \
        -fill none -stroke 'rgba(10,40,80,0.45)' -strokewidth 1.2 -draw "roundrectangle 0.6,0.6 363.4,193.4 22,22" "$tmp/sface2.png"
    convert "$tmp/sshadow.png" "$tmp/sface2.png" -geometry +3+1 -compose Over -composite "PNG32:$file"
}
start_face '#4A9BE0' '#1F5C9C' "$bh/startbg.png"
start_face '#62AEF0' '#2A6DB0' "$bh/startbg_over.png"

# Start animation: a drive platter whose bright sector turns (12 frames, 120 x 120).
for i in $(seq 1 12); do
    a=$(( (i - 1) * 30 ))
    convert -size 480x480 xc:none \
        -fill 'rgba(0,30,60,0.35)' -draw "circle 244,252 244,460" -blur 0x8 \
        \( -size 400x400 radial-gradient:'#FDFEFF'-'#B9CCDF' \
           \( -size 400x400 xc:none -fill white -draw "circle 200,200 200,2" \) -compose CopyOpacity -composite \) \
        -geometry +40+40 -compose Over -composite \
        -fill 'rgba(60,150,230,0.55)' -stroke none -draw "path 'M 240,240 L $(awk -v a=$a 'BEGIN{pi=atan2(0,-1);printf "%.1f,%.1f A 196,196 0 0 1 %.1f,%.1f", 240+196*cos(a*pi/180),240+196*sin(a*pi/180),240+196*cos((a+70)*pi/180),240+196*sin((a+70)*pi/180)}') Z'" \
        -fill none -stroke 'rgba(40,80,130,0.25)' -strokewidth 3 -draw "circle 240,240 240,110" -draw "circle 240,240 240,170" \
        -stroke 'rgba(30,70,120,0.55)' -strokewidth 4 -draw "circle 240,240 240,42" \
        -fill '#DDE7F1' -stroke '#6F8CA8' -strokewidth 4 -draw "circle 240,240 240,206" \
        -fill '#2F80C8' -stroke none -draw "circle 240,240 240,224" \
        -filter Lanczos -resize 120x120 "PNG32:$out/Start Anim/$i.png"
done

# Tab icons (22 x 22, white line drawings).
icon22() {
    local file=$1 glyph=$2
    convert -size 88x88 xc:none -fill none -stroke white -strokewidth 7 \
        -draw "stroke-linecap round stroke-linejoin round $glyph" -filter Lanczos -resize 22x22 "PNG32:$file"
}
icon22 "$out/tab icons/nav-scan.png" "path 'M 12,44 L 44,14 L 76,44' path 'M 22,38 L 22,76 L 66,76 L 66,38' fill white stroke none rectangle 38,52 50,76"
icon22 "$out/tab icons/nav-disk.png" "roundrectangle 8,22 80,66 8,8 line 8,50 80,50 fill white stroke none circle 66,58 66,62"
convert -size 88x88 xc:none -fill white -stroke none -draw "$(gear 44 44 24 36 8)" -fill black -draw "circle 44,44 44,56" \
    -alpha copy -channel A -fx 'r' +channel -fill white -colorize 100 -filter Lanczos -resize 22x22 "PNG32:$out/tab icons/nav-settings.png"

# Caption buttons (31 x 31): a ring with "i" or "?", normal, pointer over, pressed.
caption_button() {
    local file=$1 fill=$2 ring=$3 glyph=$4
    convert -size 124x124 xc:none -fill "$fill" -stroke "$ring" -strokewidth 6 -draw "circle 62,62 62,20" \
        -fill none -stroke white -strokewidth 9 -draw "stroke-linecap round stroke-linejoin round $glyph" \
        -filter Lanczos -resize 31x31 "PNG32:$file"
}
g_info="line 62,56 62,84 fill white stroke none circle 62,40 62,46"
g_help="path 'M 50,50 C 50,36 74,36 74,50 C 74,60 62,60 62,70' fill white stroke none circle 62,86 62,92"
tn="$out/top nav icons"
caption_button "$tn/info_normal.png" 'rgba(255,255,255,0.06)' 'rgba(255,255,255,0.55)' "$g_info"
caption_button "$tn/info_over.png" 'rgba(120,190,255,0.45)' 'rgba(255,255,255,0.95)' "$g_info"
caption_button "$tn/info_down.png" 'rgba(10,40,80,0.55)' 'rgba(255,255,255,0.80)' "$g_info"
caption_button "$tn/help_normal.png" 'rgba(255,255,255,0.06)' 'rgba(255,255,255,0.55)' "$g_help"
caption_button "$tn/help_over.png" 'rgba(120,190,255,0.45)' 'rgba(255,255,255,0.95)' "$g_help"
caption_button "$tn/help_down.png" 'rgba(10,40,80,0.55)' 'rgba(255,255,255,0.80)' "$g_help"

# Page header navigation: a pill behind two round arrows.
rounded_fill 68 36 18 '#FFFFFF' '#E3EBF3' "$tmp/pill.png"
convert "$tmp/pill.png" -fill none -stroke '#B7C7D7' -strokewidth 1 -draw "roundrectangle 0.5,0.5 67.5,35.5 18,18" "PNG32:$main/nav_bg.png"
nav_arrow() {
    local file=$1 glyph=$2
    convert -size 104x104 radial-gradient:'#5AA7EC'-'#2366B0' \( -size 104x104 xc:none -fill white -draw "circle 52,52 52,2" \) \
        -compose CopyOpacity -composite -fill none -stroke white -strokewidth 10 \
        -draw "stroke-linecap round stroke-linejoin round $glyph" -filter Lanczos -resize 26x26 "PNG32:$file"
}
nav_arrow "$main/nav_back.png" "path 'M 58,30 L 36,52 L 58,74'"
nav_arrow "$main/nav_forward.png" "path 'M 46,30 L 68,52 L 46,74'"

# Logo mark in the corner of the home page: the program's cluster map, muted.
convert -size 160x160 xc:none -fill 'rgba(47,111,181,0.20)' -draw "roundrectangle 0,0 159,159 28,28" \
    -fill 'rgba(47,111,181,0.45)' -draw "rectangle 30,30 60,60 rectangle 66,30 96,60 rectangle 102,66 132,96 rectangle 30,102 60,132 rectangle 66,66 96,96" \
    -fill 'rgba(228,107,93,0.55)' -draw "rectangle 102,30 132,60 rectangle 66,102 96,132" \
    -filter Lanczos -resize 40x40 "PNG32:$main/bg_logo.png"

# Frame: content background and the nine-slice border (a crisp dark rim with a light inner line).
convert -size 64x64 gradient:'#F8FAFC'-'#E9EFF5' "PNG32:$main/bg.png"
convert -size 64x64 xc:none -fill none -stroke 'rgba(5,15,30,0.85)' -strokewidth 2 -draw "roundrectangle 1,1 126,126 16,16" \
    -stroke 'rgba(255,255,255,0.22)' -strokewidth 1 -draw "roundrectangle 2.5,2.5 124.5,124.5 14,14" "$tmp/corner.png"
convert "$tmp/corner.png" -crop 16x16+0+0 +repage "PNG32:$main/upper_left.png"
convert "$tmp/corner.png" -flop -crop 16x16+0+0 +repage -flop "PNG32:$main/upper_right.png"
convert "$tmp/corner.png" -flip -crop 16x16+0+0 +repage -flip "PNG32:$main/lower_left.png"
convert "$tmp/corner.png" -flip -flop -crop 16x16+0+0 +repage -flip -flop "PNG32:$main/lower_right.png"
convert "$tmp/corner.png" -crop 4x16+40+0 +repage "PNG32:$main/upper_stretch.png"
convert "$tmp/corner.png" -flip -crop 4x16+40+0 +repage -flip "PNG32:$main/lower_stretch.png"
convert "$tmp/corner.png" -crop 16x4+0+40 +repage "PNG32:$main/left_stretch.png"
convert "$tmp/corner.png" -flop -crop 16x4+0+40 +repage -flop "PNG32:$main/right_stretch.png"

# Tabs (35 high): plain ones barely there, the active one in the accent colour.
tab_parts() {
    local prefix=$1 c1=$2 c2=$3 edge=$4
    rounded_fill 40 44 9 "$c1" "$c2" "$tmp/tabfull.png"
    convert "$tmp/tabfull.png" -crop 40x35+0+0 +repage \
        -fill none -stroke "$edge" -strokewidth 1 -draw "roundrectangle 0.5,0.5 39.5,50 9,9" "$tmp/tab.png"
    convert "$tmp/tab.png" -crop 10x35+0+0 +repage "PNG32:$main/Tabs/${prefix}tab_left.png"
    convert "$tmp/tab.png" -crop 4x35+18+0 +repage "PNG32:$main/Tabs/${prefix}tab_stretch.png"
    convert "$tmp/tab.png" -crop 10x35+30+0 +repage "PNG32:$main/Tabs/${prefix}tab_right.png"
}
tab_parts "" 'rgba(255,255,255,0.14)' 'rgba(255,255,255,0.04)' 'rgba(255,255,255,0.22)'
tab_parts "active_" '#4E9EE3' '#2B6FB2' 'rgba(255,255,255,0.45)'
