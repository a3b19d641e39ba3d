#!/usr/bin/env bash
# Screenshots of the main window on a private Xvfb at 1024x768 and 1600x900: the home page,
# the disk page and the settings tab, the home page with the pointer over the start button, and
# the pages opened from their home-page buttons.
# Needs a Windows build (./test or ./run builds it). Pictures go to build/screenshots/.
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$ZYR_ROOT"
zyr_wine_env
. "$ZYR_ROOT/scripts/screenshot_common.sh"
zyr_shot_need frame_demo.exe

shoot() {
    local size=$1 x=$2 y=$3 w=$4 h=$5
    zyr_shot_display "$size"
    zyr_shot_place "$x" "$y" "$w" "$h"
    local tab name shots=""
    for tab in 0 1 2; do
        name=$(echo home disk settings | cut -d' ' -f$((tab + 1)))
        zyr_demo_start frame_demo.exe "tab $tab" -tab "$tab"
        sleep 2
        if [ "$tab" = 0 ]; then
            zyr_shot_capture "$ZYR_SHOTS/${size}-home.png" "$x" "$y" "$w" "$h"
            # Pointer over the start button (centred, 25 pixels below the page's top).
            xdotool mousemove $((x + w / 2)) $((y + 40 + 8 + 25 + 140 + 30)) 2>/dev/null || true
            sleep 1.5
            zyr_shot_capture "$ZYR_SHOTS/${size}-home-hover.png" "$x" "$y" "$w" "$h"
            xdotool mousemove 1 1 2>/dev/null || true
            shots="$shots $ZYR_SHOTS/${size}-home.png $ZYR_SHOTS/${size}-home-hover.png"
        else
            sleep 1
            zyr_shot_capture "$ZYR_SHOTS/${size}-${name}.png" "$x" "$y" "$w" "$h"
            shots="$shots $ZYR_SHOTS/${size}-${name}.png"
        fi
        zyr_demo_stop "tab $tab"
    done
    local page
    for page in $pages; do
        zyr_demo_start frame_demo.exe "page $page" -page "$page"
        sleep 3
        zyr_shot_capture "$ZYR_SHOTS/${size}-page-${page}.png" "$x" "$y" "$w" "$h"
        shots="$shots $ZYR_SHOTS/${size}-page-${page}.png"
        zyr_demo_stop "page $page"
    done
    zyr_shot_display_end
    echo "${shots# }"
}
# Pages to open by their home-page buttons (names frame_demo understands); "" for none.
pages=${ZYR_SCREENSHOT_PAGES-defrag schedule restore duplicates}
shoot 1024x768 12 12 1000 720
shoot 1600x900 200 40 1200 800
