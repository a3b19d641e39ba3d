#!/usr/bin/env bash
# Opening an NTFS image of 100 000 files and listing every path with its run list: zyrvol
# (through the volume door) against ntfsls -R -l, measured in the same run with hyperfine.
# usage: bench/enumerate-100k.sh [--smoke]    (--smoke: 5 000 files, one run each)
# Builds the image once under build/bench (ntfs-3g FUSE mount, as root) and an optimised,
# unsanitised zyrvol in build/bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
files=100000 runs=5
[ "${1:-}" = --smoke ] && files=5000 runs=1
dir=$root/build/bench
img=$dir/files-$files.img
mkdir -p "$dir"

cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZYR_SANITIZE=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$dir" --target zyrvol -j 2 >/dev/null
zyrvol=$dir/bin/zyrvol

if [ ! -f "$img" ]; then
    echo "building $img ($files files)" >&2
    truncate -s $((files / 1000 * 20 + 200))M "$img.part"
    mkntfs -F -f -q -T -L bench "$img.part" >/dev/null 2>&1
    mnt=$(mktemp -d)
    ntfs-3g "$img.part" "$mnt"
    # 100 files a folder; every tenth file is large enough to live outside its record.
    python3 - "$mnt" "$files" <<'PY'
import os, sys
mnt, n = sys.argv[1], int(sys.argv[2])
for i in range(n):
    d = os.path.join(mnt, f"dir{i // 1000:03d}", f"sub{i // 100 % 10}")
    if i % 100 == 0:
        os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, f"file-{i:06d}.dat"), "wb") as f:
        f.write(b"x" * (5000 if i % 10 == 0 else i % 300))
PY
    sync
    fusermount -u "$mnt"
    rmdir "$mnt"
    mv "$img.part" "$img"
fi

listed=$("$zyrvol" ls -r "$img" | wc -l)
theirs=$(ntfsls -R -l "$img" | grep -c '^ ')
echo "zyrvol lists $listed paths with run lists; ntfsls -R -l lists $theirs entries (with . and ..)"
/usr/bin/time -f "zyrvol peak memory: %M KiB (image: $(($(stat -c %s "$img") / 1024)) KiB)" "$zyrvol" ls -r "$img" >/dev/null

json=$dir/enumerate-$files.json
hyperfine --warmup 1 --runs "$runs" --export-json "$json" \
    -n "zyrvol ls -r" "'$zyrvol' ls -r '$img' > /dev/null" \
    -n "ntfsls -R -l" "ntfsls -R -l '$img' > /dev/null"
python3 - "$json" <<'PY'
import json, sys
r = {x["command"]: x["mean"] for x in json.load(open(sys.argv[1]))["results"]}
ours, theirs = r["zyrvol ls -r"], r["ntfsls -R -l"]
print(f"zyrvol {ours:.3f} s, ntfsls {theirs:.3f} s: zyrvol is {theirs / ours:.1f} times as fast (goal: at least 3)")
PY
