#!/usr/bin/env bash
# Screenshots of the notification-area icon and the settings tab on a private Xvfb (1024x768):
# the reminder balloon, the icon's menu and tooltip, the settings page and the general settings
# page. Needs a Windows build. Pictures go to build/screenshots/.
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$ZYR_ROOT"
zyr_wine_env
. "$ZYR_ROOT/scripts/screenshot_common.sh"
zyr_shot_need frame_demo.exe
zyr_shot_display 1024x768
zyr_shot_place 12 60 1000 700
out=$ZYR_SHOTS

# run ARGS NAME: starts the demo and waits until its window (titled "... - NAME") is painted.
run() {
    zyr_demo_start frame_demo.exe " - $2" $1
    sleep 3
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
zyr_demo_stop " - remind"

# The settings page; before it, the icon's tooltip while the pointer rests on the icon.
run "-tab 2" "tab 2"
for d in 5 7 9; do xdotool mousemove $((X + d)) $((Y + d)) 2>/dev/null || true; sleep 0.3; done
sleep 2
import -window root -crop 400x120+0+0 +repage "$out/tray-tooltip.png"
xdotool mousemove 600 760 2>/dev/null || true
sleep 1
zyr_shot_capture "$out/settings-page.png" 12 60 1000 700
zyr_demo_stop " - tab 2"
run "-page general" "page general"
zyr_shot_capture "$out/general-settings-page.png" 12 60 1000 700
zyr_demo_stop " - page general"
echo "$out/tray-balloon.png $out/tray-menu.png $out/tray-tooltip.png $out/settings-page.png $out/general-settings-page.png"
