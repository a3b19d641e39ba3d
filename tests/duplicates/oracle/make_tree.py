#!/usr/bin/env python3
"""Builds a folder tree with duplicate files for comparing duplicate finders.

Copies of files across folders, files of equal size that differ only after the first
kilobyte, files that differ inside it, empty files, hidden and read-only entries, symbolic
links, names with spaces and non-ASCII letters, and extensions of every file kind in mixed
case. Nothing here knows which files are duplicates: finders are checked against each other.
"""
import argparse
import os
import random

EXTENSIONS = [
    ".jpg", ".JPG", ".jpeg", ".png", ".psd", ".img", ".tiff",
    ".mp3", ".MP3", ".wav", ".midi", ".ra",
    ".avi", ".mkv", ".MPEG2", ".mp4",
    ".txt", ".pdf", ".docx", ".XLS",
    "", ".tar.gz", ".bin", ".dat", ".jpgx", ".log",
]
NAME_PARTS = ["photo", "Report", "song", "clip", "notes", "data", "Backup", "a b", "\u00e9t\u00e9", "\u4e2d"]


def unique_name(rng, taken, extension):
    while True:
        name = f"{rng.choice(NAME_PARTS)}{rng.randrange(100000)}{extension}"
        if name.lower() not in taken:  # no two names that differ only in case
            taken.add(name.lower())
            return name


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("dest")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--files", type=int, default=400)
    parser.add_argument("--max-size", type=int, default=40000)
    parser.add_argument("--no-links", action="store_true", help="no symbolic links (Wine follows them)")
    args = parser.parse_args()
    rng = random.Random(args.seed)

    folders = [""]
    for i in range(max(4, args.files // 25)):
        parent = rng.choice(folders)
        hidden = "." if rng.random() < 0.08 else ""
        folders.append(os.path.join(parent, f"{hidden}{rng.choice(NAME_PARTS)}dir{i}"))
    names = {folder: set() for folder in folders}
    for folder in folders:
        os.makedirs(os.path.join(args.dest, folder), exist_ok=True)

    def place(content, extension=None):
        folder = rng.choice(folders)
        ext = rng.choice(EXTENSIONS) if extension is None else extension
        hidden = "." if rng.random() < 0.05 else ""
        path = os.path.join(args.dest, folder, hidden + unique_name(rng, names[folder], ext))
        with open(path, "wb") as f:
            f.write(content)
        return path

    sizes = [rng.choice([0, 1, 3, 1023, 1024, 1025, 5000]) if rng.random() < 0.15 else rng.randrange(1, args.max_size)
             for _ in range(args.files)]
    made = []
    for size in sizes:
        kind = rng.random()
        if kind < 0.35 and made:  # a copy of an earlier file, often with another extension
            source = rng.choice(made)
            with open(source, "rb") as f:
                content = f.read()
        elif kind < 0.5 and made:  # same size and first kilobyte as an earlier file, changed later
            with open(rng.choice(made), "rb") as f:
                content = bytearray(f.read())
            if len(content) > 1024:
                at = rng.randrange(1024, len(content))
                content[at] ^= 0x5A
            content = bytes(content)
        elif kind < 0.6 and made:  # same size, changed inside the first kilobyte
            with open(rng.choice(made), "rb") as f:
                content = bytearray(f.read())
            if content:
                at = rng.randrange(0, min(1024, len(content)))
                content[at] ^= 0xA5
            content = bytes(content)
        else:
            content = rng.randbytes(size)
        made.append(place(content))

    for path in rng.sample(made, len(made) // 20):  # read-only files
        os.chmod(path, 0o444)
    for folder in rng.sample(folders[1:], max(1, len(folders) // 15)):  # read-only folders
        os.chmod(os.path.join(args.dest, folder), 0o555)
    if not args.no_links:
        for i in range(max(2, len(made) // 40)):
            target = rng.choice(made)
            link = os.path.join(args.dest, f"link{i}{os.path.splitext(target)[1]}")
            os.symlink(target, link)
        os.symlink(os.path.join(args.dest, folders[1]), os.path.join(args.dest, "linked folder"))


if __name__ == "__main__":
    main()
