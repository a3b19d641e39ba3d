#!/usr/bin/env python3
"""Fails when the preprocessed resource script defines a string or dialog id twice.

The resource compiler keeps one of two strings with the same id without a word, so a page
would silently show another page's text.
"""
import re
import sys


def main(path, stamp):
    text = open(path, encoding="utf-8", errors="replace").read()
    strings, dialogs, errors = {}, {}, []
    for block in re.finditer(r"^\s*STRINGTABLE\b.*?^\s*BEGIN\b(.*?)^\s*END\b", text, re.S | re.M):
        for m in re.finditer(r'^\s*\(?\s*(\d+)\s*\)?\s*,?\s*"((?:[^"]|"")*)"', block.group(1), re.M):
            number, value = int(m.group(1)), m.group(2)
            if number in strings:
                errors.append(f"string {number} twice: {strings[number]!r} and {value!r}")
            strings[number] = value
    for m in re.finditer(r"^\s*\(?\s*(\d+)\s*\)?\s+DIALOG(?:EX)?\b", text, re.M):
        number = int(m.group(1))
        if number in dialogs:
            errors.append(f"dialog {number} twice")
        dialogs[number] = True
    if errors:
        sys.stderr.write("\n".join(errors) + "\n")
        return 1
    open(stamp, "w").write(f"{len(strings)} strings, {len(dialogs)} dialogs\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
