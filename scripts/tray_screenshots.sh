#!/usr/bin/env bash
# Screenshots of the notification-area icon and the settings tab on a private Xvfb (1024x768):
# the reminder balloon, the icon's menu and tooltip, the settings page and the general settings
# page. Needs a Windows build. Pictures go to build/screenshots/.
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$ZYR_ROOT"
zyr_wine_env
out="$ZYR_ROOT/build/screenshots"
mkdir -p "$out"
program_dir="$ZYR_ROOT/build/windows/uitests"
[ -f "$program_dir/frame_demo.exe" ] || { echo "build first: $program_dir/frame_demo.exe is missing" >&2; exit 1; }

for n in $(seq 150 190); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=":$n"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

key='HKCU\Software\Tavrin Labs\Zyr Disk Care'
for v in "XPos 12" "YPos 60" "Width 1000" "Height 700"; do
    set -- $v
    wine reg add "$key" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1
done

# run ARGS NAME: starts the demo and waits until its window (titled "... - NAME") is painted.
run() {
    (cd "$program_dir" && exec wine frame_demo.exe $1 </dev/null >/dev/null 2>&1) &
    demo=$!
    timeout 60 xdotool search --sync --onlyvisible --name " - $2" >/dev/null 2>&1 || true
    sleep 3
}
stop() {
    kill "$demo" 2>/dev/null || true
    wait "$demo" 2>/dev/null || true
    sleep 1
}

# The reminder balloon beside the icon in Wine's tray window (shown while no other program
# offers a notification area), then the icon's menu on a right click.
run -remind remind
import -window root "$out/tray-balloon.png"
tray=$(xdotool search --name "Wine System Tray" | head -1)
eval "$(xdotool getwindowgeometry --shell "$tray")"
xdotool mousemove $((X + 8)) $((Y + 8)) click 3 2>/dev/null || true
sleep 1.5
import -window root "$out/tray-menu.png"
xdotool key Escape 2>/dev/null || true
stop

# The settings page; before it, the icon's tooltip while the pointer rests on the icon.
run "-tab 2" "tab 2"
for d in 5 7 9; do xdotool mousemove $((X + d)) $((Y + d)) 2>/dev/null || true; sleep 0.3; done
sleep 2
import -window root -crop 400x120+0+0 +repage "$out/tray-tooltip.png"
xdotool mousemove 600 760 2>/dev/null || true
sleep 1
import -window root -crop 1000x700+12+60 +repage "$out/settings-page.png"
stop
run "-page general" "page general"
import -window root -crop 1000x700+12+60 +repage "$out/general-settings-page.png"
stop
echo "$out/tray-balloon.png $out/tray-menu.png $out/tray-tooltip.png $out/settings-page.png $out/general-settings-page.png"
