#!/usr/bin/env python3
"""Builds the duplicate-scanner benchmark tree.

About FILES files and TOTAL bytes in nested folders: a third of the files are copies (sets of
2 to 4), many files share their size and first kilobytes with others and differ only late in
the file, some share their size but differ inside the first kilobyte, and the rest are unique.
"""
import argparse
import os
import random


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("dest")
    parser.add_argument("--files", type=int, default=20000)
    parser.add_argument("--total", type=float, default=2e9, help="bytes, about")
    parser.add_argument("--seed", type=int, default=7)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    mean = args.total / args.files

    folders = [f"d{a:02}/e{b:02}" for a in range(40) for b in range(10)]
    for folder in folders:
        os.makedirs(os.path.join(args.dest, folder), exist_ok=True)
    counter = 0

    def write(content):
        nonlocal counter
        counter += 1
        path = os.path.join(args.dest, rng.choice(folders), f"f{counter:06}{rng.choice(['.jpg', '.mp3', '.txt', '.bin', '.avi', ''])}")
        with open(path, "wb") as f:
            f.write(content)

    def size():
        return max(1, min(int(rng.expovariate(1 / mean)), int(mean * 12)))

    written = 0
    while counter < args.files:
        kind = rng.random()
        if kind < 0.30:  # a set of copies: a third of all files are copies of another
            content = rng.randbytes(size())
            for _ in range(rng.choice([2, 2, 2, 3, 4])):
                write(content)
        elif kind < 0.40:  # equal size, equal first kilobytes, different late in the file
            n = size() + 2048
            base = bytearray(rng.randbytes(n))
            for _ in range(rng.randrange(4, 12)):
                variant = bytearray(base)
                at = rng.randrange(max(1024, n - n // 10), n)
                variant[at] ^= 1 + rng.randrange(255)
                write(bytes(variant))
        elif kind < 0.44:  # equal size, different inside the first kilobyte
            n = size() + 1024
            base = bytearray(rng.randbytes(n))
            for _ in range(rng.randrange(3, 6)):
                variant = bytearray(base)
                variant[rng.randrange(0, 1024)] ^= 0x80
                write(bytes(variant))
        else:
            write(rng.randbytes(size()))


if __name__ == "__main__":
    main()
