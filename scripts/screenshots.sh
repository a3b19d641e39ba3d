#!/usr/bin/env bash
# Screenshots of the main window on a private Xvfb at 1024x768 and 1600x900: the home page,
# the disk page and the settings tab, the home page with the pointer over the start button, and
# the pages opened from their home-page buttons.
# Needs a Windows build (./test or ./run builds it). Pictures go to build/screenshots/.
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$ZYR_ROOT"
zyr_wine_env
out="$ZYR_ROOT/build/screenshots"
mkdir -p "$out"

# The program folder's program when start-up is built, else the frame's own demo program.
program_dir="$ZYR_ROOT/build/windows/uitests"
program="frame_demo.exe"
[ -f "$program_dir/$program" ] || { echo "build first: $program_dir/$program is missing" >&2; exit 1; }

key='HKCU\Software\Tavrin Labs\Zyr Disk Care'
# capture FILE X Y W H: the window's area once it has been painted (not the empty screen).
capture() {
    local file=$1 x=$2 y=$3 w=$4 h=$5 i
    for i in $(seq 60); do
        import -window root -crop "${w}x${h}+${x}+${y}" +repage "$file"
        [ "$(convert "$file" -format '%[fx:mean>0.3]' info:)" = 1 ] && return 0
        sleep 0.5
    done
    echo "the window did not appear for $file" >&2
}
# start_demo TITLE ARGS...: the demo program with ARGS, once its window titled "... TITLE" is up.
start_demo() {
    local title=$1
    shift
    (cd "$program_dir" && exec wine "$program" "$@" </dev/null >/dev/null 2>&1) &
    demo_pid=$!
    timeout 60 xdotool search --sync --onlyvisible --name "$title" >/dev/null 2>&1 || true
}
# stop_demo TITLE: ends the demo program and waits until its window is gone.
stop_demo() {
    kill "$demo_pid" 2>/dev/null || true
    wait "$demo_pid" 2>/dev/null || true
    for _ in $(seq 40); do
        [ -n "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] || break
        sleep 0.25
    done
    sleep 0.5
}
shoot() {
    local size=$1 x=$2 y=$3 w=$4 h=$5
    local display n
    for n in $(seq 140 180); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    local xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    wine reg add "$key" /v XPos /t REG_DWORD /d "$x" /f >/dev/null 2>&1
    wine reg add "$key" /v YPos /t REG_DWORD /d "$y" /f >/dev/null 2>&1
    wine reg add "$key" /v Width /t REG_DWORD /d "$w" /f >/dev/null 2>&1
    wine reg add "$key" /v Height /t REG_DWORD /d "$h" /f >/dev/null 2>&1
    local tab name
    for tab in 0 1 2; do
        name=$(echo home disk settings | cut -d' ' -f$((tab + 1)))
        start_demo "tab $tab" -tab "$tab"
        sleep 2
        if [ "$tab" = 0 ]; then
            capture "$out/${size}-home.png" "$x" "$y" "$w" "$h"
            # Pointer over the start button (centred, 25 pixels below the page's top).
            xdotool mousemove $((x + w / 2)) $((y + 40 + 8 + 25 + 140 + 30)) 2>/dev/null || true
            sleep 1.5
            capture "$out/${size}-home-hover.png" "$x" "$y" "$w" "$h"
            xdotool mousemove 1 1 2>/dev/null || true
        else
            sleep 1
            capture "$out/${size}-${name}.png" "$x" "$y" "$w" "$h"
        fi
        stop_demo "tab $tab"
    done
    local page shots=""
    for page in $pages; do
        start_demo "page $page" -page "$page"
        sleep 3
        capture "$out/${size}-page-${page}.png" "$x" "$y" "$w" "$h"
        shots="$shots $out/${size}-page-${page}.png"
        stop_demo "page $page"
    done
    kill "$xvfb" 2>/dev/null || true
    echo "$out/${size}-home.png $out/${size}-home-hover.png $out/${size}-disk.png $out/${size}-settings.png$shots"
}
# Pages to open by their home-page buttons (names frame_demo understands); "" for none.
pages=${ZYR_SCREENSHOT_PAGES-defrag schedule restore duplicates}
shoot 1024x768 12 12 1000 720
shoot 1600x900 200 40 1200 800
