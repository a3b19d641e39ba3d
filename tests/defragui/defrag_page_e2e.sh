#!/usr/bin/env bash
# The defrag page under Wine on two image drives: V: fragmented, W: nearly full. Builds the
# images with ntfs-3g, runs the in-process page tests, then reads every file of V: back with
# ntfscat and compares it with its content before.
# usage: defrag_page_e2e.sh PAGE_TESTS_EXE WORK_DIR SOURCE_DIR
set -euo pipefail
exe=$(realpath "$1")
work=$(realpath -m "$2")
src=$3
[ "$(id -u)" -eq 0 ] || { echo "needs root for the ntfs-3g mount; skipped"; exit 77; }
rm -rf "$work"
mkdir -p "$work"
frag=$work/frag.img
full=$work/full.img

bash "$src/bench/make_fragmented_image.sh" "$frag" 24 12 300 5 6 2>/dev/null
# W: an NTFS drive with about 10 % free.
truncate -s 16M "$full"
mkntfs -F -q -Q -c 4096 -L full "$full" >/dev/null 2>&1
mnt=$(mktemp -d)
cleanup() { umount "$mnt" 2>/dev/null || true; rmdir "$mnt" 2>/dev/null || true; }
trap cleanup EXIT
ntfs-3g "$full" "$mnt"
avail=$(df -B1 --output=avail "$mnt" | tail -1)
head -c $((avail - 16 * 1048576 / 10)) /dev/zero > "$mnt/ballast.bin"
umount "$mnt"

# Every file of V: and its checksum, read through the ntfs-3g driver.
ntfs-3g -o ro "$frag" "$mnt"
(cd "$mnt" && find . -type f -printf '%P\n' | sort > "$work/files.txt")
(cd "$mnt" && while read -r f; do md5sum "$f"; done < "$work/files.txt") > "$work/before.md5"
umount "$mnt"
echo "V: holds $(wc -l < "$work/files.txt") files"

winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
export ZYR_IMAGE_DRIVES="V:=$(winpath "$frag");W:=$(winpath "$full")"
wine "$exe"

# Every file reads back with the same content, through ntfscat (no mount).
status=0
while read -r f; do
    sum=$(ntfscat "$frag" "/$f" | md5sum | cut -d' ' -f1)
    want=$(grep -F "  $f" "$work/before.md5" | head -1 | cut -d' ' -f1)
    if [ "$sum" != "$want" ]; then
        echo "changed after defragmentation: $f"
        status=1
    fi
done < "$work/files.txt"
[ $status -eq 0 ] && echo "every file of V: reads back unchanged"
exit $status
