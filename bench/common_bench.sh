# Shared by the benchmark scripts: an optimised build without sanitizers. Sourced, not run.
ZYR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZYR_BENCH_BUILD=${ZYR_BENCH_BUILD:-$ZYR_ROOT/build/bench}

zyr_bench_build() {
    cmake -S "$ZYR_ROOT" -B "$ZYR_BENCH_BUILD" -G Ninja -DZYR_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$ZYR_BENCH_BUILD" -j2 --target "$@" >/dev/null
}

# mean seconds of command N (0-based) in a hyperfine JSON export
zyr_mean() { python3 -c "import json,sys; print(json.load(open(sys.argv[1]))['results'][int(sys.argv[2])]['mean'])" "$1" "$2"; }
