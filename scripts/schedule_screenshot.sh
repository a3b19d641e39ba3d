#!/usr/bin/env bash
# Screenshot of the schedule page's controls with two schedules and the options dialog open:
# build/screenshots/schedule_page.png. Needs a built build/windows.
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$ZYR_ROOT"
zyr_wine_env
zyr_display 1024x700x24
trap zyr_cleanup EXIT
mkdir -p build/screenshots
wine build/windows/schedule_ui/schedule_page_preview.exe 12 >/dev/null 2>&1 &
sleep 8
import -window root build/screenshots/schedule_page.png
wait || true
echo build/screenshots/schedule_page.png
