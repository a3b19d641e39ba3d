#!/usr/bin/env bash
# Screenshots of the duplicate finder's pages (start, progress, results, results scrolled) on a
# private Xvfb at 1024x768, over a demo folder of duplicate sets made in the Wine prefix.
# Needs a Windows build with finder_demo (cmake --build build/windows --target finder_demo).
# Pictures go to build/screenshots/finder-*.png.
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$ZYR_ROOT"
zyr_wine_env
. "$ZYR_ROOT/scripts/screenshot_common.sh"
zyr_shot_need finder_demo.exe
out=$ZYR_SHOTS

# The demo folder: sets of pictures, songs, documents and other files, spread over subfolders.
demo="$WINEPREFIX/drive_c/users/Public/Documents/Duplicate demo"
rm -rf "$demo"
make_set() {  # make_set CONTENT PATH...
    local content=$1 p
    shift
    for p in "$@"; do
        mkdir -p "$demo/$(dirname "$p")"
        printf '%s' "$content" >"$demo/$p"
    done
}
for i in 01 02 03 04 05 06 07 08 09 10 11 12; do
    copies=("Pictures/Holiday 2019/IMG_20$i.jpg" "Pictures/Phone backup/IMG_20$i.jpg")
    [ $((10#$i % 3)) = 0 ] && copies+=("Desktop/IMG_20$i copy.jpg")
    make_set "$(head -c $((2000 + 10#$i * 300)) /dev/zero | tr '\0' "$i")" "${copies[@]}"
done
for i in 1 2 3 4 5; do
    make_set "$(head -c $((40000 + i * 1000)) /dev/zero | tr '\0' "m$i")" \
        "Music/Live recordings/2019 Autumn tour/0$i Track.mp3" "Music/Imported/0$i Track.mp3"
done
make_set "$(head -c 90000 /dev/zero | tr '\0' 'v')" "Videos/Birthday.mp4" "Videos/Old phone/VID_0001.mp4"
for name in "Tax return 2021.pdf" "Lease agreement.docx" "Reading list.txt" "Budget.xlsx"; do
    make_set "$(head -c $((3000 + ${#name} * 77)) /dev/zero | tr '\0' "${name:0:1}")" \
        "Documents/$name" "Documents/Old/$name" "Downloads/$name"
done
make_set "$(head -c 12345 /dev/zero | tr '\0' 'z')" "Downloads/setup-archive.zip" "Documents/Old/setup-archive.zip"
windows_demo='C:\users\Public\Documents\Duplicate demo'

size=1024x768 x=12 y=12 w=1000 h=720
zyr_shot_display "$size"
zyr_shot_place "$x" "$y" "$w" "$h"
shots=()
for shot in "start 0" "progress 0" "results 0" "results-scrolled 9"; do
    set -- $shot
    name=$1 scroll=$2 page=${1%-scrolled}
    zyr_demo_start finder_demo.exe "finder $page" -page "$page" -folder "$windows_demo" -scroll "$scroll"
    sleep 3
    zyr_shot_capture "$out/finder-$name.png" "$x" "$y" "$w" "$h"
    shots+=("$out/finder-$name.png")
    zyr_demo_stop "finder $page"
done
echo "${shots[*]}"
