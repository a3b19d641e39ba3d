# Shared parts of the screenshot scripts: a private display, the main window's place, demo
# programs started and stopped by window title, and captures taken once a window is painted.
# Sourced after common.sh and zyr_wine_env, not run.

ZYR_SHOTS="$ZYR_ROOT/build/screenshots"
ZYR_UITESTS="$ZYR_ROOT/build/windows/uitests"
mkdir -p "$ZYR_SHOTS"

# zyr_shot_need PROGRAM: stops the script when the demo program has not been built.
zyr_shot_need() {
    [ -f "$ZYR_UITESTS/$1" ] || { echo "build first: $ZYR_UITESTS/$1 is missing" >&2; exit 1; }
}

# zyr_shot_display SIZE: a new private Xvfb of SIZE (WxH), replacing one this script started.
zyr_shot_display() {
    zyr_shot_display_end
    local fifo n
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    ZYR_SHOT_XVFB=$!
    read -r n <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$n"
    trap zyr_shot_display_end EXIT
}
zyr_shot_display_end() {
    [ -n "${ZYR_SHOT_XVFB:-}" ] && kill "$ZYR_SHOT_XVFB" 2>/dev/null || true
    ZYR_SHOT_XVFB=
}

# zyr_shot_place X Y W H: where the main window opens (its stored position and size).
zyr_shot_place() {
    local key='HKCU\Software\Tavrin Labs\Zyr Disk Care' name value
    for name in XPos YPos Width Height; do
        value=$1
        shift
        wine reg add "$key" /v "$name" /t REG_DWORD /d "$value" /f >/dev/null 2>&1
    done
}

# zyr_shot_capture FILE X Y W H: that area of the screen, once a window has been painted in it
# (not while it is still the empty screen).
zyr_shot_capture() {
    local file=$1 x=$2 y=$3 w=$4 h=$5 i
    for i in $(seq 60); do
        import -window root -crop "${w}x${h}+${x}+${y}" +repage "$file"
        [ "$(convert "$file" -format '%[fx:mean>0.3]' info:)" = 1 ] && return 0
        sleep 0.5
    done
    echo "the window did not appear for $file" >&2
}

# zyr_demo_start PROGRAM TITLE ARGS...: PROGRAM with ARGS, once a window whose name contains
# TITLE is visible.
zyr_demo_start() {
    local program=$1 title=$2
    shift 2
    (cd "$ZYR_UITESTS" && exec wine "$program" "$@" </dev/null >/dev/null 2>&1) &
    ZYR_DEMO_PID=$!
    timeout 60 xdotool search --sync --onlyvisible --name "$title" >/dev/null 2>&1 || true
}

# zyr_demo_stop TITLE: ends the demo program and waits until its window is gone.
zyr_demo_stop() {
    kill "$ZYR_DEMO_PID" 2>/dev/null || true
    wait "$ZYR_DEMO_PID" 2>/dev/null || true
    for _ in $(seq 40); do
        [ -n "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] || break
        sleep 0.25
    done
    sleep 0.5
}
