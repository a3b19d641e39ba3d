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
    local n
    for n in $(seq 91 120); do
        [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
    done
    Xvfb ":$n" -screen 0 "$size" -nolisten tcp >/dev/null 2>&1 &
    ZYR_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    ZYR_OWN_DISPLAY=1
}

zyr_cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "${ZYR_XVFB_PID:-}" ]; then kill "$ZYR_XVFB_PID" 2>/dev/null || true; fi
}

zyr_configure_and_build() {
    local jobs
    jobs=$(nproc)
    cmake -S "$ZYR_ROOT" -B "$ZYR_ROOT/build/native" -G Ninja >/dev/null
    cmake --build "$ZYR_ROOT/build/native" -j "$jobs"
    # The fuzz targets as real libFuzzer programs (clang); ./test runs each for a short time.
    CC=clang CXX=clang++ cmake -S "$ZYR_ROOT" -B "$ZYR_ROOT/build/fuzz" -G Ninja -DZYR_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$ZYR_ROOT/build/fuzz" -j "$jobs" --target zyr_fuzzers
    cmake -S "$ZYR_ROOT" -B "$ZYR_ROOT/build/windows" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ZYR_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$ZYR_ROOT/build/windows" -j "$jobs"
}
