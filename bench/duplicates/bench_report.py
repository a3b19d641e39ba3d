#!/usr/bin/env python3
"""Reads the outputs of one benchmark run: checks that every tool found the same sets and
prints wall time, peak memory and ratios, with the MD5 limit of the tree."""
import json
import os
import statistics
import sys
from collections import defaultdict


def blank_line_sets(path):
    sets, current = [], []
    with open(path, "rb") as f:
        for line in f.read().split(b"\n"):
            if line:
                current.append(os.fsdecode(line))
            elif current:
                sets.append(current)
                current = []
    if current:
        sets.append(current)
    return {frozenset(s) for s in sets}


def rdfind_sets(path):
    groups = defaultdict(list)
    with open(path, "rb") as f:
        for line in f:
            if line.startswith(b"DUPTYPE"):
                fields = line.rstrip(b"\n").split(b" ", 7)
                groups[abs(int(fields[1]))].append(os.fsdecode(fields[7]))
    return {frozenset(s) for s in groups.values() if len(s) > 1}


def candidate_bytes(root):
    """Bytes of the files that share their size and first kilobyte with another file."""
    by_size = defaultdict(list)
    for dirpath, _, files in os.walk(root):
        for name in files:
            path = os.path.join(dirpath, name)
            size = os.path.getsize(path)
            if size:
                by_size[size].append(path)
    total = 0
    for size, paths in by_size.items():
        if len(paths) < 2:
            continue
        by_head = defaultdict(int)
        for path in paths:
            with open(path, "rb") as f:
                by_head[f.read(1024)] += 1
        total += size * sum(n for n in by_head.values() if n > 1)
    return total


def main():
    out, root, md5_rate = sys.argv[1], sys.argv[2], float(sys.argv[3])
    with open(os.path.join(out, "zyrdupes.json")) as f:
        reference = {frozenset(s["files"]) for s in json.load(f)}
    found = {
        "zyrdupes": reference,
        "jdupes -r": blank_line_sets(os.path.join(out, "jdupes.txt")),
        "fdupes -r": blank_line_sets(os.path.join(out, "fdupes.txt")),
        "rdfind -dryrun true": rdfind_sets(os.path.join(out, "rdfind.txt")),
    }
    same = True
    for tool, sets in found.items():
        if sets != reference:
            same = False
            print(f"DIFFERENT SETS: {tool}: {len(sets - reference)} sets only there, {len(reference - sets)} missing")
    files = sum(len(s) for s in reference)
    print(f"sets: {len(reference)} sets, {files} files; all tools agree: {'yes' if same else 'NO'}")

    times = {}
    for tool in found:
        runs = []
        with open(os.path.join(out, tool.split()[0] + ".times")) as f:
            for line in f:
                wall, kb = line.split()
                runs.append((float(wall), int(kb)))
        times[tool] = (statistics.median(r[0] for r in runs), max(r[1] for r in runs) / 1024)
    ours = times["zyrdupes"][0]
    print(f"{'tool':22} {'wall s (median)':>16} {'peak MB':>9} {'time / zyrdupes':>16}")
    for tool, (wall, mb) in times.items():
        print(f"{tool:22} {wall:16.2f} {mb:9.1f} {wall / ours:16.2f}")
    candidates = candidate_bytes(root)
    limit = candidates / (2 * md5_rate * 1e6)
    print(f"MD5 limit: {candidates / 1e9:.2f} GB share size and first kilobyte; at {md5_rate:.0f} MB/s per core on "
          f"2 cores that is {limit:.2f} s; zyrdupes takes {ours / limit:.2f} x the limit")


if __name__ == "__main__":
    main()
