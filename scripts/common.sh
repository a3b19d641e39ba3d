# Shared set-up of ./test and ./run: packages, Wine prefix, display. Sourced, not run.
ZYR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZYR_PACKAGES=(
    cmake ninja-build g++ clang libgtest-dev libgmock-dev libbenchmark-dev
    libfuzzer-14-dev libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth x11-utils xdotool imagemagick
    ntfs-3g attr python3 xz-utils jdupes fdupes rdfind hyperfine nsis
)

zyr_log() { printf '==> %s\n' "$*" >&2; }

# Installs the Debian packages that are missing (as root, without questions).
zyr_ensure_packages() {
    local missing=() p
    for p in "${ZYR_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    zyr_log "installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# A private Wine prefix under build/, created once, and its persistent server: each Wine start
# is then fast, and Wine's own services start away from any caller's output pipes.
zyr_wine_server() {
    wineserver -p 2>/dev/null || true
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# A private Wine prefix under build/, created once.
zyr_wine_env() {
    export WINEPREFIX="$ZYR_ROOT/build/wineprefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        zyr_log "creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
}

# A display: the caller's own, or a private Xvfb that ends with the script.
zyr_display() {
    local size=${1:-1600x900x24}
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    # Xvfb picks a free display number itself and tells it through a pipe.
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    ZYR_XVFB_PID=$!
    local n
    read -r n <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$n"
    ZYR_OWN_DISPLAY=1
}

zyr_cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "${ZYR_XVFB_PID:-}" ]; then kill "$ZYR_XVFB_PID" 2>/dev/null || true; fi
}

zyr_build_native() {
    cmake -S "$ZYR_ROOT" -B "$ZYR_ROOT/build/native" -G Ninja >/dev/null
    cmake --build "$ZYR_ROOT/build/native" -j "$(nproc)"
}

zyr_build_windows() {
    cmake -S "$ZYR_ROOT" -B "$ZYR_ROOT/build/windows" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ZYR_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$ZYR_ROOT/build/windows" -j "$(nproc)"
}

# The fuzz targets again, with clang's libFuzzer; CTest runs each for a bounded time.
zyr_build_fuzz() {
    CC=clang CXX=clang++ cmake -S "$ZYR_ROOT" -B "$ZYR_ROOT/build/fuzz" -G Ninja -DZYR_FUZZ=ON >/dev/null
    cmake --build "$ZYR_ROOT/build/fuzz" -j "$(nproc)" --target fuzzers
}

zyr_configure_and_build() {
    zyr_build_native
    zyr_build_windows
    zyr_build_fuzz
}

# Waits until a window whose name matches $1 exists on the display (at most $2 seconds).
zyr_wait_window() {
    local name=$1 seconds=${2:-30} i
    for i in $(seq $((seconds * 10))); do
        xdotool search --name "$name" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
