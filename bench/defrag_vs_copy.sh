#!/usr/bin/env bash
# Benchmark: `zyrdefrag defrag` on a fragmented image against `dd` copying as many bytes as the
# defragmentation moves (the physical limit of a move: each byte read once and written once).
# usage: bench/defrag_vs_copy.sh [SIZE_MB] [LARGE_FILES] [ROUNDS]      (root: uses the FUSE mount)
# The fresh copy of the image is synced before each run: the defragmentation makes its own
# writes durable when it closes the volume, and must not pay for writing back the copy.
set -euo pipefail
. "$(dirname "$0")/common_bench.sh"
size_mb=${1:-512}
large=${2:-300}
rounds=${3:-40}
zyr_bench_build zyrdefrag
work=$ZYR_BENCH_BUILD/defrag_bench
mkdir -p "$work"
orig=$work/fragmented.img
[ -f "$orig" ] || "$ZYR_ROOT/bench/make_fragmented_image.sh" "$orig" "$size_mb" "$large" 2000 7 "$rounds" 2>/dev/null
zyr=$ZYR_BENCH_BUILD/bin/zyrdefrag
cp "$orig" "$work/run.img"
read -r clusters cluster_bytes < <("$zyr" analyze "$work/run.img" --json 2>/dev/null |
    python3 -c "import json,sys; j=json.load(sys.stdin); print(j['fragmented_clusters'], 4096)")
bytes=$(( clusters * cluster_bytes ))
: > "$work/copy.bin"
out=$(mktemp)
dd_copy="dd if=$orig of=$work/copy.bin bs=$cluster_bytes count=$clusters status=none conv=notrunc"
hyperfine -N --runs 5 --export-json "$out" \
    --prepare "sh -c 'cp $orig $work/run.img && sync $work/run.img'" \
    "$zyr defrag $work/run.img" \
    "$zyr analyze $work/run.img" \
    "$dd_copy" \
    "$dd_copy,fdatasync" >&2
# The same on a copy with every block of the image allocated, as every cluster of a disk is: the
# sparse copy above makes the host file system allocate each block a move writes into, which the
# dd target (written by the run before) no longer needs.
full=$(mktemp)
hyperfine -N --runs 5 --export-json "$full" \
    --prepare "sh -c 'cp --sparse=never $orig $work/run.img && sync $work/run.img'" \
    "$zyr defrag $work/run.img" \
    "$zyr analyze $work/run.img" >&2
defrag=$(zyr_mean "$out" 0)
analyze=$(zyr_mean "$out" 1)
copy=$(zyr_mean "$out" 2)
synced=$(zyr_mean "$out" 3)
fullDefrag=$(zyr_mean "$full" 0)
fullAnalyze=$(zyr_mean "$full" 1)
rm -f "$out" "$full" "$work/copy.bin"
python3 - "$bytes" "$defrag" "$analyze" "$copy" "$synced" "$fullDefrag" "$fullAnalyze" <<'PY'
import sys
moved, defrag, analyze, copy, synced, full_defrag, full_analyze = int(sys.argv[1]), *map(float, sys.argv[2:])
moves = max(defrag - 2 * analyze, 1e-9)   # the command analyses before and after
print(f"bytes moved: {moved / 2**20:.1f} MiB")
print(f"zyrdefrag defrag (whole command): {defrag:.3f} s; one analysis: {analyze:.3f} s")
print(f"moves alone (command - 2 analyses): {moves:.3f} s  ({moved / moves / 2**20:.0f} MiB/s)")
print(f"dd copy of the same bytes: {copy:.3f} s  ({moved / copy / 2**20:.0f} MiB/s); "
      f"with fdatasync at the end, as the defragmentation does: {synced:.3f} s")
print(f"ratio (moves / copy): {moves / copy:.2f}; whole command / copy: {defrag / copy:.2f}")
print(f"ratio against the synced copy (moves / copy): {moves / synced:.2f}; whole command / copy: {defrag / synced:.2f}")
full_moves = max(full_defrag - 2 * full_analyze, 1e-9)
print(f"on a fully allocated copy: command {full_defrag:.3f} s, analysis {full_analyze:.3f} s, "
      f"moves {full_moves:.3f} s ({moved / full_moves / 2**20:.0f} MiB/s); "
      f"ratio (moves / copy): {full_moves / copy:.2f}, against the synced copy: {full_moves / synced:.2f}")
PY
