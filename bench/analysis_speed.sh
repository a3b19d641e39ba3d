#!/usr/bin/env bash
# Benchmark: `zyrdefrag analyze` on an image holding FILES files (100 000 by default), in files
# per second and against `ntfsls -R -l` listing the same image.
# usage: bench/analysis_speed.sh [FILES]     (root: the image is filled through ntfs-3g's mount)
set -euo pipefail
. "$(dirname "$0")/common_bench.sh"
files=${1:-100000}
zyr_bench_build zyrdefrag
image=$ZYR_BENCH_BUILD/analysis_$files.img
if [ ! -f "$image" ]; then
    echo "building $image ..." >&2
    # Files of 1 to 12 KiB take 2.1 clusters on average, and each has a 1 KiB record.
    rm -f "$image.tmp"
    truncate -s $(( files * 12 / 1024 + 256 ))M "$image.tmp"
    mkntfs -F -q -Q -c 4096 "$image.tmp" >/dev/null 2>&1
    mnt=$(mktemp -d)
    ntfs-3g "$image.tmp" "$mnt"
    trap 'umount "$mnt" 2>/dev/null; rmdir "$mnt"' EXIT
    python3 - "$mnt" "$files" <<'PY'
import os, random, sys
root, count = sys.argv[1], int(sys.argv[2])
random.seed(5)
for i in range(count):
    d = os.path.join(root, f"d{i // 1000:03d}")
    if i % 1000 == 0:
        os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, f"file{i:06d}.bin"), "wb") as f:
        f.write(os.urandom(random.randint(1024, 3 * 4096)))  # beyond the record: real clusters
PY
    umount "$mnt"
    rmdir "$mnt"
    trap - EXIT
    mv "$image.tmp" "$image"
fi
recorded=$("$ZYR_BENCH_BUILD/bin/zyrdefrag" analyze "$image" --json 2>/dev/null |
    python3 -c "import json,sys; print(json.load(sys.stdin)['files'])")
out=$(mktemp)
hyperfine -N --warmup 1 --runs 5 --export-json "$out" \
    "$ZYR_BENCH_BUILD/bin/zyrdefrag analyze $image" "ntfsls -R -l -p / $image" >&2
ours=$(zyr_mean "$out" 0)
peer=$(zyr_mean "$out" 1)
rm -f "$out"
python3 - "$files" "$recorded" "$ours" "$peer" <<'PY'
import sys
files, recorded, ours, peer = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
print(f"image: {files} files written, {recorded} recorded by the analysis")
print(f"zyrdefrag analyze: {ours:.3f} s  ({recorded / ours:,.0f} files/s)")
print(f"ntfsls -R -l:      {peer:.3f} s")
print(f"ratio (zyrdefrag / ntfsls): {ours / peer:.2f}")
PY
