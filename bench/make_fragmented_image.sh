#!/usr/bin/env bash
# Builds an NTFS image with fragmented files: mkntfs, then through the ntfs-3g FUSE mount many
# small files are written, every other one deleted, and larger files written into the holes.
# usage: make_fragmented_image.sh IMAGE [SIZE_MB] [LARGE_FILES] [SMALL_FILES] [SEED] [ROUNDS]
set -euo pipefail
image=$1
size_mb=${2:-64}
large=${3:-40}
small=${4:-600}
seed=${5:-1}
rounds=${6:-6}
[ "$(id -u)" -eq 0 ] || { echo "make_fragmented_image.sh: needs root for the FUSE mount" >&2; exit 1; }

rm -f "$image"
truncate -s "${size_mb}M" "$image"
mkntfs -F -q -Q -c 4096 -L zyrfrag "$image" >/dev/null
mnt=$(mktemp -d)
trap 'umount "$mnt" 2>/dev/null || true; rmdir "$mnt"' EXIT
ntfs-3g "$image" "$mnt"

RANDOM=$seed
mkdir -p "$mnt/fill" "$mnt/docs/deep/er" "$mnt/media"
# Small files packed one after another...
for i in $(seq 1 "$small"); do
    head -c $(( (RANDOM % 4 + 1) * 4096 + RANDOM % 4096 )) /dev/urandom > "$mnt/fill/f$i.bin"
done
sync
# ...every other one removed, leaving holes of one to five clusters...
for i in $(seq 1 2 "$small"); do rm "$mnt/fill/f$i.bin"; done
sync
# ...and larger files grown in turns, a few clusters at a time, so that their pieces interleave
# with each other and fall into the holes.
files=()
for i in $(seq 1 "$large"); do
    case $((i % 3)) in
        0) dir=docs ;;
        1) dir=docs/deep/er ;;
        *) dir=media ;;
    esac
    files+=("$mnt/$dir/large$i.dat")
done
for round in $(seq 1 "$rounds"); do
    for f in "${files[@]}"; do
        head -c $(( (RANDOM % 3 + 1) * 4096 + RANDOM % 4096 )) /dev/urandom >> "$f"
    done
done
# A few files that stay in their records, and an empty one.
for i in 1 2 3; do echo "small note $i" > "$mnt/docs/note$i.txt"; done
: > "$mnt/docs/empty.txt"
sync
umount "$mnt"
trap - EXIT
rmdir "$mnt"
