#!/usr/bin/env python3
"""Checks zyrdefrag against ntfs-3g's own tools on one NTFS image.

usage: verify_optimize.py ZYRDEFRAG IMAGE

1. ntfs-3g's run lists (ntfsinfo) give the fragmented files; `zyrdefrag analyze` must count the
   same number.
2. ntfscat reads every file before and after `zyrdefrag optimize`: byte for byte the same.
3. Every file that is still in more than one run must have had no free stretch to go to.
4. ntfsfix -n and ntfsresize -i -f find the volume clean; a second analysis shows less
   fragmentation.
"""
import hashlib
import json
import re
import subprocess
import sys


def run(*args, check=True):
    return subprocess.run(args, check=check, capture_output=True)


def listing(image):
    """Every path of the volume (files and directories), from ntfsls."""
    out = run("ntfsls", "-R", "-F", "-p", "/", image).stdout.decode("utf-8", "replace")
    paths, directory = [], None
    for line in out.splitlines():
        if not line.strip():
            continue
        if line.endswith(":") and line.startswith("/"):
            directory = line[:-1].rstrip("/")
            continue
        name = line.rstrip("/*@|=")
        if name in (".", ".."):
            continue
        paths.append((directory + "/" + name, line.endswith("/")))
    return paths


def runs_of(image, path):
    """Fragment counts of the file's $DATA or the directory's $INDEX_ALLOCATION, from ntfsinfo."""
    out = run("ntfsinfo", "-v", "-F", path, image, check=False).stdout.decode("utf-8", "replace")
    fragments = [int(m) for m in re.findall(r"fragments: (\d+)", out)]
    return max(fragments) if fragments else 0


def digest(image, path):
    return hashlib.sha256(run("ntfscat", image, path).stdout).hexdigest()


def analyze(zyrdefrag, image, command="analyze"):
    out = run(zyrdefrag, command, image, "--json", check=False)
    if out.returncode not in (0, 1):
        sys.exit(f"zyrdefrag {command} failed: {out.stderr.decode()}")
    return json.loads(out.stdout)


def main():
    zyrdefrag, image = sys.argv[1], sys.argv[2]
    paths = listing(image)
    fragmented = [p for p, _ in paths if runs_of(image, p) > 1]
    files = [p for p, is_dir in paths if not is_dir]
    before = {p: digest(image, p) for p in files}

    first = analyze(zyrdefrag, image)
    print(f"ntfs-3g: {len(paths)} paths, {len(fragmented)} fragmented; "
          f"zyrdefrag: {first['files']} recorded, {first['fragmented_files']} fragmented")
    ok = first["fragmented_files"] == len(fragmented)

    result = analyze(zyrdefrag, image, "optimize")
    print(f"optimize: {result['defragmented_files']} defragmented, {result['consolidated_files']} consolidated, "
          f"fragmentation {result['before']['fragmentation_percent']} % -> {result['fragmentation_percent']} %")

    changed = [p for p in files if digest(image, p) != before[p]]
    still = [p for p, _ in paths if runs_of(image, p) > 1]
    print(f"files changed: {len(changed)}; still in several runs: {len(still)} {still[:5]}")
    ok = ok and not changed

    fix = run("ntfsfix", "-n", image, check=False)
    resize = run("ntfsresize", "-i", "-f", image, check=False)
    print(f"ntfsfix -n: {fix.returncode}; ntfsresize -i -f: {resize.returncode}")
    ok = ok and fix.returncode == 0 and resize.returncode == 0

    second = analyze(zyrdefrag, image)
    print(f"second analysis: {second['fragmented_files']} fragmented files, {second['fragmentation_percent']} %")
    ok = ok and (first["fragmented_clusters"] == 0 or
                 second["fragmentation_percent"] < first["fragmentation_percent"])
    print("OK" if ok else "MISMATCH")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
