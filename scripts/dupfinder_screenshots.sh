#!/usr/bin/env bash
# Screenshots of the duplicate finder's pages (start, progress, results, results scrolled) on a
# private Xvfb at 1024x768, over a demo folder of duplicate sets made in the Wine prefix.
# Needs a Windows build with finder_demo (cmake --build build/windows --target finder_demo).
# Pictures go to build/screenshots/finder-*.png.
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$ZYR_ROOT"
zyr_wine_env
out="$ZYR_ROOT/build/screenshots"
mkdir -p "$out"
program_dir="$ZYR_ROOT/build/windows/uitests"
[ -f "$program_dir/finder_demo.exe" ] || { echo "build first: $program_dir/finder_demo.exe is missing" >&2; exit 1; }

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

key='HKCU\Software\Tavrin Labs\Zyr Disk Care'
capture() {
    local file=$1 x=$2 y=$3 w=$4 h=$5 i
    for i in $(seq 60); do
        import -window root -crop "${w}x${h}+${x}+${y}" +repage "$file"
        [ "$(convert "$file" -format '%[fx:mean>0.3]' info:)" = 1 ] && return 0
        sleep 0.5
    done
    echo "the window did not appear for $file" >&2
}
size=1024x768 x=12 y=12 w=1000 h=720
for n in $(seq 181 220); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=":$n"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
for v in "XPos $x" "YPos $y" "Width $w" "Height $h"; do
    set -- $v
    wine reg add "$key" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1
done
shots=()
for shot in "start 0" "progress 0" "results 0" "results-scrolled 9"; do
    set -- $shot
    name=$1 scroll=$2 page=${1%-scrolled}
    (cd "$program_dir" && exec wine finder_demo.exe -page "$page" -folder "$windows_demo" -scroll "$scroll" </dev/null >/dev/null 2>&1) &
    pid=$!
    timeout 60 xdotool search --sync --onlyvisible --name "finder $page" >/dev/null 2>&1 || true
    sleep 3
    capture "$out/finder-$name.png" "$x" "$y" "$w" "$h"
    shots+=("$out/finder-$name.png")
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    for _ in $(seq 40); do
        [ -n "$(xdotool search --onlyvisible --name "finder $page" 2>/dev/null)" ] || break
        sleep 0.25
    done
    sleep 0.5
done
echo "${shots[*]}"
