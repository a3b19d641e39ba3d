#!/usr/bin/env bash
# Screenshot of the schedule page with two schedules and the options dialog open:
# build/screenshots/schedule_page.png. Needs a built build/windows.
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$ZYR_ROOT"
zyr_wine_env
zyr_display 1024x700x24
trap zyr_cleanup EXIT
mkdir -p build/screenshots
(cd build/windows/schedule_ui && wine ./schedule_page_preview.exe 90 >/dev/null 2>&1 </dev/null &)
for _ in $(seq 60); do
    xdotool search --name 'Schedule Defragmentation' >/dev/null 2>&1 && break
    sleep 1
done
sleep 2
import -window root build/screenshots/schedule_page.png
echo build/screenshots/schedule_page.png
