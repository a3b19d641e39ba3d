#!/usr/bin/env bash
# A silent install and uninstall of ZyrDiskCareSetup.exe under Wine: what the install leaves,
# that the installed program starts, and that the uninstall leaves the prefix as it found it
# (apart from the user's settings key).
set -euo pipefail
setup=$1
: "${WINEPREFIX:?run through ./test}"
drive_c="$WINEPREFIX/drive_c"
installed="$drive_c/Program Files/Zyr Disk Care"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check "what" command...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
reg_value() {  # reg_value KEY NAME -> the value's data
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | NAME="$2" awk 'index($0, "    " ENVIRON["NAME"] "    REG_") == 1 { sub(/^.*    REG_[A-Z_]*    /, ""); print }'
}
reg_default() {
    wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | awk '/REG_/ { sub(/^.*REG_[A-Z_]*  */, ""); print }'
}
# What an install may touch, as text: registry keys and folders.
snapshot() {
    local out=$1 key
    : >"$out"
    for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 'HKLM\Software\Tavrin Labs' \
               'HKCR\Unknown' 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run'; do
        echo "[$key]" >>"$out"
        wine reg query "$key" /s 2>/dev/null | tr -d '\r' >>"$out" || true
    done
    (cd "$drive_c" && find "Program Files" "ProgramData" "users" -path '*/Temp' -prune -o \
        -print 2>/dev/null | grep -v '/Temp/' | sort) >>"$out"
    jobs >>"$out"
}
# The job files of the Tasks folder (Wine's task service makes the folder on first use, in
# either case).
jobs() {
    find "$drive_c/windows" -maxdepth 2 -ipath '*/windows/tasks/*.job' -printf '%P\n' 2>/dev/null | sort || true
}
wait_gone() {  # wait_gone PATH SECONDS
    local i
    for i in $(seq $(($2 * 5))); do [ -e "$1" ] || return 0; sleep 0.2; done
    return 1
}

# A handler command as Windows has it, so the install has something to keep and give back.
original='%SystemRoot%\system32\rundll32.exe %SystemRoot%\system32\shell32.dll,OpenAs_RunDLL %1'
wine reg add 'HKCR\Unknown\shell\openas\command' /ve /t REG_EXPAND_SZ /d "$original" /f >/dev/null
snapshot "$work/before.txt"

wine "$setup" /S
check "program folder installed" test -f "$installed/ZyrDiskCare.exe" -a -f "$installed/MyResources.dll" \
    -a -f "$installed/noapp.exe" -a -f "$installed/settings.xml" -a -f "$installed/colors.xml" \
    -a -f "$installed/Uninstall.exe"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZyrDiskCare'
check "uninstaller entry names the product" test "$(reg_value "$uninstall_key" DisplayName)" = "Zyr Disk Care"
check "uninstaller entry has version and publisher" \
    test "$(reg_value "$uninstall_key" DisplayVersion)/$(reg_value "$uninstall_key" Publisher)" = "1.0.0/Tavrin Labs"
check "start menu shortcut" test -f "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zyr Disk Care/Zyr Disk Care.lnk"
check "weekly scan and defrag tasks" \
    test "$(jobs | grep -ci '/Zyr Disk Care\( Defrag\)\?\.job$')" = 2
check "unknown files go to noapp.exe" \
    test "$(reg_default 'HKCR\Unknown\shell\openas\command')" = 'C:\Program Files\Zyr Disk Care\noapp.exe %1'
check "the original handler is kept" \
    test "$(reg_value 'HKCR\Unknown\shell\openas\command' 'Zyr Disk Care.old')" = "$original"

# The installed program starts and shows its window; a second start closes it.
wine "C:\\Program Files\\Zyr Disk Care\\ZyrDiskCare.exe" >/dev/null 2>&1 &
pid=$!
shown=no
for _ in $(seq 150); do
    if xdotool search --name '^Zyr Disk Care$' >/dev/null 2>&1; then shown=yes; break; fi
    sleep 0.2
done
check "installed program shows its window" test $shown = yes
wine "C:\\Program Files\\Zyr Disk Care\\ZyrDiskCare.exe" -shutdown >/dev/null 2>&1 || true
wait "$pid" || true

# The uninstaller runs from a temporary copy and returns at once: wait for the folder to go.
wine "C:\\Program Files\\Zyr Disk Care\\Uninstall.exe" /S
check "program folder removed" wait_gone "$installed" 60
sleep 1
snapshot "$work/after.txt"
check "prefix as before" diff -u "$work/before.txt" "$work/after.txt"
check "original handler restored" test "$(reg_default 'HKCR\Unknown\shell\openas\command')" = "$original"

wine reg delete 'HKCR\Unknown\shell\openas' /f >/dev/null 2>&1 || true
echo "$failures failed"
[ "$failures" -eq 0 ]
