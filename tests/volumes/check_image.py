#!/usr/bin/env python3
"""Compares zyrvol's view of an NTFS image with ntfs-3g's, then moves clusters and checks
with ntfs-3g that every file is intact and the cluster accounting holds.

usage: check_image.py ZYRVOL IMAGE [--moves] [--work DIR] [--seed N] [--sample N]
Every expected value comes from ntfs-3g's tools (ntfsls, ntfsinfo, ntfscat, ntfscluster,
ntfsfix, ntfsresize, ntfscmp); exit status 0 when all agree.
"""
import argparse
import hashlib
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

failures = []


def fail(message):
    failures.append(message)
    print("MISMATCH:", message)


def run(args, check=True):
    p = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if check and p.returncode != 0:
        raise SystemExit(f"{args[0]} failed ({p.returncode}): {p.stderr.decode(errors='replace')}")
    return p


def ntfs3g_listing(image):
    """{path: (size, is_dir)} from ntfsls -R -l -F."""
    out = run(["ntfsls", "-R", "-l", "-F", "-a", image]).stdout.decode("utf-8", "surrogateescape")
    entries, section = {}, None
    for line in out.splitlines():
        if not line.strip():
            continue
        if line.endswith(":") and line.startswith("/") and not line.startswith(" "):
            section = line[:-1].rstrip("/")
            continue
        parts = line.split(None, 5)
        if len(parts) < 6 or section is None:
            continue
        size, name = int(parts[0]), parts[5]
        is_dir = name.endswith("/")
        name = name.rstrip("/")
        if name in (".", ".."):
            continue
        # ntfsls -F marks executables and links; names in this tree carry no such suffixes.
        entries[f"{section}/{name}"] = (size, is_dir)
    return entries


def zyrvol_listing(zyrvol, image):
    out = run([zyrvol, "ls", "-l", image]).stdout.decode("utf-8", "surrogateescape")
    entries = {}
    for line in out.splitlines():
        parts = line.split(None, 2)
        size, attrs, path = int(parts[0]), int(parts[1], 16), parts[2]
        is_dir = path.endswith("/")
        entries[path.rstrip("/")] = (size, is_dir, attrs)
    return entries


def merge(runs):
    out = []
    for vcn, lcn, length in runs:
        if out:
            pv, pl, plen = out[-1]
            if pv + plen == vcn and ((pl == -1 and lcn == -1) or (pl != -1 and lcn == pl + plen)):
                out[-1] = (pv, pl, plen + length)
                continue
        out.append((vcn, lcn, length))
    return out


def ntfsinfo_runs(image, path, is_dir):
    """Runs of the unnamed $DATA (or $I30 $INDEX_ALLOCATION) from ntfsinfo -v, all extents."""
    out = run(["ntfsinfo", "-v", "-F", path, image]).stdout.decode("utf-8", "surrogateescape")
    want = "$INDEX_ALLOCATION" if is_dir else "$DATA"
    runs, current, in_runs, named = [], None, False, False
    for line in out.splitlines():
        m = re.match(r"Dumping attribute (\S+) ", line)
        if m:
            current, in_runs, named = m.group(1), False, False
            continue
        if current != want:
            continue
        if "Name length:" in line and not line.strip().endswith("0 (0x0)"):
            named = not is_dir  # a named data stream is not the file's data
        if "Runlist:" in line:
            in_runs = True
            continue
        if in_runs:
            cols = line.split()
            if len(cols) == 3 and cols[0].startswith("0x"):
                if named:
                    continue
                if cols[1] == "<RL_NOT_MAPPED>":  # a part another extent maps
                    continue
                lcn = -1 if cols[1] == "<HOLE>" else int(cols[1], 16)
                runs.append((int(cols[0], 16), lcn, int(cols[2], 16)))
            else:
                in_runs = False
    return merge(sorted(runs))


def zyrvol_runs(zyrvol, image, path):
    p = run([zyrvol, "extents", image, path], check=False)
    if p.returncode != 0:
        return None
    return [tuple(int(x) for x in line.split()) for line in p.stdout.decode().splitlines()]


def bitmap_matches(zyrvol, image, work):
    raw = os.path.join(work, "bitmap.bin")
    out = run([zyrvol, "bitmap", image, raw]).stdout.decode()
    totals = dict(line.split() for line in out.splitlines())
    ours = open(raw, "rb").read()
    theirs = run(["ntfscat", image, "$Bitmap"]).stdout
    total = int(totals["total"])
    full, rest = divmod(total, 8)
    mask = (1 << rest) - 1
    same = ours[:full] == theirs[:full] and (rest == 0 or (ours[full] & mask) == (theirs[full] & mask))
    if not same:
        fail(f"{image}: FSCTL_GET_VOLUME_BITMAP differs from ntfscat $Bitmap")
    info = run(["ntfscluster", "-i", image]).stdout.decode()
    free = int(re.search(r"clusters of free space\s*:\s*(\d+)", info).group(1))
    if free != int(totals["free"]):
        fail(f"{image}: free clusters {totals['free']} vs ntfscluster {free}")
    return ours, total


def compare(zyrvol, image, sample, rng):
    theirs = ntfs3g_listing(image)
    ours = zyrvol_listing(zyrvol, image)
    missing, extra = set(theirs) - set(ours), set(ours) - set(theirs)
    for p in sorted(missing)[:20]:
        fail(f"{image}: ntfsls lists {p}, zyrvol does not")
    for p in sorted(extra)[:20]:
        fail(f"{image}: zyrvol lists {p}, ntfsls does not")
    for path in sorted(set(theirs) & set(ours)):
        (tsize, tdir), (osize, odir, attrs) = theirs[path], ours[path]
        if attrs & 0x400:  # ntfsls -F marks no reparse point as a directory
            tdir = odir
        if tdir != odir or (not tdir and tsize != osize):
            fail(f"{image}: {path}: ntfsls size {tsize} dir {tdir}, zyrvol size {osize} dir {odir}")
    # Run lists: every directory and non-empty file at the top, plus a sample of the rest.
    paths = sorted(p for p in ours if not re.search(r"^/(many|wide)/", p))
    rest = sorted(set(ours) - set(paths))
    paths += rng.sample(rest, min(sample, len(rest)))
    paths += ["/$MFT", "/$Bitmap", "/$UpCase"]
    checked = 0
    for path in paths:
        is_dir = ours[path][1] if path in ours else False
        expected = ntfsinfo_runs(image, path, is_dir)
        got = zyrvol_runs(zyrvol, image, path)
        if got is None or got != expected:
            fail(f"{image}: {path}: zyrvol extents {got} vs ntfsinfo {expected}")
        checked += 1
    print(f"{image}: {len(ours)} paths agree with ntfsls; {checked} run lists checked against ntfsinfo")
    return ours


def free_stretch(bitmap, total, length, after=0):
    run_start, run_len = None, 0
    for c in range(after, total):
        if bitmap[c // 8] >> (c % 8) & 1:
            run_start, run_len = None, 0
            continue
        if run_start is None:
            run_start = c
        run_len += 1
        if run_len == length:
            return run_start
    return None


def digest(image, path):
    return hashlib.md5(run(["ntfscat", image, path]).stdout).hexdigest()


def moves(zyrvol, image, work, listing, rng):
    before = os.path.join(work, "before.img")
    after = os.path.join(work, "after.img")
    shutil.copyfile(image, before)
    shutil.copyfile(image, after)
    files = [p for p, (size, is_dir, attrs) in listing.items() if not is_dir and size > 0]
    dirs = [p for p, (size, is_dir, attrs) in listing.items() if is_dir]
    runs = {}
    out = run([zyrvol, "ls", "-l", "-r", after]).stdout.decode("utf-8", "surrogateescape")
    for line in out.splitlines():
        head, _, text = line.partition("\t")
        vcn, found = 0, []
        for item in ([] if text in ("-", "") or "error" in text else text.split(",")):
            lcn, length = (int(x) for x in item.rsplit("+", 1))
            found.append((vcn, lcn, length))
            vcn += length
        runs[head.split(None, 2)[2].rstrip("/")] = found
    fragmented = [p for p in files + dirs if len([r for r in runs[p] if r[1] != -1]) > 1]
    candidates = [p for p in fragmented if not re.search(r"/(many|wide)/.", p)]
    candidates += rng.sample([p for p in fragmented if p not in candidates],
                             min(6, len([p for p in fragmented if p not in candidates])))
    candidates += [p for p in ("/sparse.bin", "/compressed/text.txt", "/plain.bin") if p in listing]
    done = []
    bitmap, total = bitmap_matches(zyrvol, after, work)
    for step, path in enumerate(candidates):
        r = runs[path]
        if not r:
            continue
        clusters = sum(length for _, lcn, length in r if lcn != -1)
        vcn_end = r[-1][0] + r[-1][2]
        split = step % 3 == 2 and vcn_end >= 4 and "compressed" not in path
        if split:  # the middle half only: the run list grows
            vcn, count = vcn_end // 4, vcn_end // 2
            clusters = sum(max(0, min(v + n, vcn + count) - max(v, vcn)) for v, l, n in r if l != -1)
        else:
            vcn, count = 0, vcn_end
        if path == "/sparse.bin" or "compressed" in path:
            vcn, count = 0, vcn_end  # whole compression units
            clusters = sum(length for _, lcn, length in r if lcn != -1)
        lcn = free_stretch(bitmap, total, max(clusters, 1), after=rng.randrange(0, max(1, total // 2)))
        if lcn is None:
            lcn = free_stretch(bitmap, total, max(clusters, 1))
        if lcn is None:
            continue
        p = run([zyrvol, "move", after, path, str(vcn), str(lcn), str(count)], check=False)
        if p.returncode != 0:
            fail(f"move {path} {vcn} {lcn} {count}: {p.stderr.decode().strip()}")
            continue
        new = zyrvol_runs(zyrvol, after, path)
        moved = [x for x in new if x[1] != -1 and vcn <= x[0] < vcn + count]
        if moved and moved[0][1] != lcn:
            fail(f"move {path}: first moved run at {moved[0][1]}, asked for {lcn}")
        if new != ntfsinfo_runs(after, path, listing[path][1]):
            fail(f"move {path}: zyrvol extents {new} vs ntfsinfo {ntfsinfo_runs(after, path, listing[path][1])}")
        done.append(path)
        bitmap, total = bitmap_matches(zyrvol, after, work)

    # Refusals: a destination in use, and a system file.
    used = next(c for c in range(total) if bitmap[c // 8] >> (c % 8) & 1)
    some = next(p for p in files if runs.get(p))
    p = run([zyrvol, "move", after, some, "0", str(used), "1"], check=False)
    if p.returncode == 0 or "error 5" not in p.stderr.decode():
        fail(f"move onto used cluster {used}: {p.returncode} {p.stderr.decode().strip()}")
    p = run([zyrvol, "move", after, "/$MFT", "0", str(free_stretch(bitmap, total, 1)), "1"], check=False)
    if p.returncode == 0 or "error 5" not in p.stderr.decode():
        fail(f"move of $MFT was not refused: {p.stderr.decode().strip()}")

    # Every moved file reads as before; everything else by ntfscmp.
    for path in done:
        if not listing[path][1] and digest(before, path) != digest(after, path):
            fail(f"{path}: content changed by the move")
    cmp = run(["ntfscmp", before, after], check=False).stdout.decode("utf-8", "surrogateescape")
    for line in cmp.splitlines():
        line = re.sub(r".*percent completed", "", line).strip()
        if not line or line.startswith("ntfscmp"):
            continue
        ok = ("0x80 header DIFFER" in line or "0xa0 header DIFFER" in line or "0x20 header DIFFER" in line
              or re.match(r"^(\$MFT|\$Bitmap|\$MFTMirr)", line) or "content DIFFER" in line and re.search(r"(\$MFT|\$Bitmap)", line)
              or line.startswith("Inode") or line.startswith("Only"))
        if "content DIFFER" in line and not re.search(r"\$(MFT|Bitmap)", line):
            ok = False
        if not ok:
            fail(f"ntfscmp: {line}")
    fix = run(["ntfsfix", "-n", after], check=False)
    if fix.returncode != 0:
        fail(f"ntfsfix -n: {fix.stdout.decode()} {fix.stderr.decode()}")
    resize = run(["ntfsresize", "-i", "-f", after], check=False)
    text = resize.stdout.decode() + resize.stderr.decode()
    if resize.returncode != 0 or "accounting" in text.lower() and "failed" in text.lower():
        fail(f"ntfsresize -i -f: {text}")
    print(f"{image}: {len(done)} moves; ntfscat, ntfscmp, ntfsfix -n and ntfsresize -i -f agree")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("zyrvol")
    ap.add_argument("image")
    ap.add_argument("--moves", action="store_true")
    ap.add_argument("--work")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--sample", type=int, default=40)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    work = a.work or tempfile.mkdtemp(prefix="zyr-check-")
    os.makedirs(work, exist_ok=True)
    try:
        listing = compare(a.zyrvol, a.image, a.sample, rng)
        bitmap_matches(a.zyrvol, a.image, work)
        if a.moves:
            moves(a.zyrvol, a.image, work, listing, rng)
    finally:
        if not a.work:
            shutil.rmtree(work, ignore_errors=True)
    if failures:
        print(f"{len(failures)} mismatches")
        return 1
    print("all checks agree")
    return 0


if __name__ == "__main__":
    sys.exit(main())
