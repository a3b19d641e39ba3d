#!/usr/bin/env python3
"""Checks the sets zyrdupes finds against jdupes on generated trees, for every category mask.

jdupes runs over the whole tree; its sets are then restricted to the files the scanner may take
(no hidden, read-only or linked entries, none below such folders, and the mask's kinds), and
must equal the scanner's sets. Each reported digest and size is checked against the file.
With --wine the Windows build runs under Wine on the same tree through drive Z:.
"""
import argparse
import concurrent.futures
import hashlib
import json
import os
import shutil
import stat
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# The kinds of files by extension, as the product defines them.
KINDS = {
    1: ".wav .mp3 .mp2 .aac .aif .m3u .mid .midi .mpa .ra .wma",
    8: ".doc .docx .msg .rtf .txt .wpd .pdf .xls .xlsx .odt",
    4: ".jpg .img .bmp .gif .pct .png .tif .ico .nef .crw .psd .dcr .ai .dwg .cd5 .fits .ilbm .jpeg .pcx "
       ".pbm .ppm .pgf .pgm .tga .sid .tiff",
    2: ".avi .divx .flv .mov .mp4 .rm .swf .wmv .mpeg .mpeg2 .mpg .mkv",
}
CATEGORY = {ext: kind for kind, text in KINDS.items() for ext in text.split()}


def category(path):
    name = os.path.basename(path)
    dot = name.rfind(".")
    return 16 if dot < 0 else CATEGORY.get(name[dot:].lower(), 16)


def lower_ascii(text):
    return "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in text)


def taken(root, path, mask):
    """Whether the scanner may take this file: every entry below root visible, writable, no link."""
    relative = os.path.relpath(path, root)
    current = root
    for part in relative.split(os.sep):
        current = os.path.join(current, part)
        st = os.lstat(current)
        if part.startswith(".") or stat.S_ISLNK(st.st_mode) or not (st.st_mode & 0o222):
            return False
    if not stat.S_ISREG(os.lstat(path).st_mode):
        return False
    return bool(mask & 16) or bool(category(path) & mask)


def jdupes_sets(root):
    out = subprocess.run(["jdupes", "-r", "-H", "-q", root], check=True, capture_output=True).stdout
    sets, current = [], []
    for line in out.split(b"\n"):
        if line:
            current.append(os.fsdecode(line))
        elif current:
            sets.append(current)
            current = []
    if current:
        sets.append(current)
    return sets


def md5_of(path):
    with open(path, "rb") as f:
        return hashlib.md5(f.read()).hexdigest()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--wine", action="store_true")
    parser.add_argument("--seed", type=int, default=11)
    parser.add_argument("--files", type=int, default=400)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="zyr-oracle-")
    root = os.path.join(work, "tree")
    failures = []
    try:
        command = [sys.executable, os.path.join(HERE, "make_tree.py"), root, "--seed", str(args.seed),
                   "--files", str(args.files)]
        subprocess.run(command + (["--no-links"] if args.wine else []), check=True)
        reference = jdupes_sets(root)
        if not reference:
            failures.append("jdupes found no sets: the tree is not a useful test")

        def to_scanner(path):  # the path as the scanner under test reports it
            if not args.wine:
                return path
            return "z:" + lower_ascii(path.replace("/", "\\"))

        def from_scanner(path):
            return path if not args.wine else path[2:].replace("\\", "/")

        def run(mask):
            folder = root if not args.wine else "Z:" + root.replace("/", "\\")
            command = ([] if not args.wine else ["wine"]) + [args.exe, "-r", "--json", "--quiet", "--mask", str(mask), folder]
            result = subprocess.run(command, capture_output=True, timeout=300)
            if result.returncode != 0:
                return mask, None, result.stderr.decode(errors="replace")
            return mask, json.loads(result.stdout.decode("ascii")), ""

        with concurrent.futures.ThreadPoolExecutor(2) as pool:
            runs = list(pool.map(run, range(32)))
        for mask, found, error in runs:
            if found is None:
                failures.append(f"mask {mask}: zyrdupes failed: {error}")
                continue
            expected = set()
            for group in reference:
                kept = [to_scanner(p) for p in group if taken(root, p, mask)]
                if len(kept) >= 2:
                    expected.add(frozenset(kept))
            actual = {frozenset(s["files"]) for s in found}
            if len(actual) != len(found):
                failures.append(f"mask {mask}: a set was reported twice")
            if actual != expected:
                failures.append(f"mask {mask}: sets differ\n  only zyrdupes: {sorted(map(sorted, actual - expected))}"
                                f"\n  only jdupes: {sorted(map(sorted, expected - actual))}")
            sizes = [s["size"] for s in found]
            if sizes != sorted(sizes):
                failures.append(f"mask {mask}: sets not in ascending size")
            for s in found:
                first = from_scanner(s["files"][0])
                if args.wine:  # lowercased: find the real name through jdupes' spelling
                    first = next(p for g in reference for p in g if to_scanner(p) == s["files"][0])
                if s["size"] != os.path.getsize(first) or s["hash"] != md5_of(first):
                    failures.append(f"mask {mask}: wrong size or digest for {first}")
                if s["category"] != category(s["files"][0]):
                    failures.append(f"mask {mask}: wrong category for {first}")
            print(f"mask {mask:2}: {len(found)} sets, {sum(len(s['files']) for s in found)} files")
    finally:
        for dirpath, dirnames, _ in os.walk(work):
            for d in dirnames:
                full = os.path.join(dirpath, d)
                if not os.path.islink(full):
                    os.chmod(full, 0o755)
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
