#!/usr/bin/env bash
# Duplicate scanner benchmark: zyrdupes against jdupes, fdupes and rdfind on one generated tree
# (default 20 000 files, about 2 GB), each run three times from a warm page cache. Prints the
# median wall time, the peak memory, the ratios, and the MD5 limit of the tree.
#   bench/duplicates/run_bench.sh [FILES] [BYTES]
set -euo pipefail
. "$(dirname "$0")/../../scripts/common.sh"
cd "$ZYR_ROOT"
files=${1:-20000}
bytes=${2:-2e9}
zyr_ensure_packages

# An optimised build without sanitizers.
cmake -S . -B build/bench -G Ninja -DZYR_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/bench -j 2 --target zyrdupes md5_speed >/dev/null

tree=build/bench-tree/$files-$bytes-$(md5sum bench/duplicates/make_bench_tree.py | cut -c1-8)
if [ ! -f "$tree.done" ]; then
    zyr_log "generating $tree"
    rm -rf "$tree"
    python3 bench/duplicates/make_bench_tree.py "$tree" --files "$files" --total "$bytes"
    touch "$tree.done"
fi
tree=$(cd "$tree" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cat $(find "$tree" -type f) >/dev/null 2>&1 || find "$tree" -type f -exec cat {} + >/dev/null

measure() {  # name output command...
    local name=$1 output=$2
    shift 2
    : >"$out/$name.times"
    for _ in 1 2 3; do
        /usr/bin/time -f "%e %M" -a -o "$out/$name.times" "$@" >"$output" 2>/dev/null
    done
}
zyr_log "zyrdupes"
measure zyrdupes "$out/zyrdupes.json" build/bench/bin/zyrdupes -r --json --quiet "$tree"
zyr_log "jdupes"
measure jdupes "$out/jdupes.txt" jdupes -r -q "$tree"
zyr_log "fdupes"
measure fdupes "$out/fdupes.txt" fdupes -r -q -n "$tree"
zyr_log "rdfind"
measure rdfind /dev/null rdfind -dryrun true -outputname "$out/rdfind.txt" "$tree"

md5_rate=$(build/bench/bin/md5_speed)
echo "tree: $tree ($(find "$tree" -type f | wc -l) files, $(du -sb "$tree" | cut -f1) bytes); cores: $(nproc)"
python3 bench/duplicates/bench_report.py "$out" "$tree" "$md5_rate"
