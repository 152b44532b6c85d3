#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Gives every source file of the repository the line that names its licence, and checks that
they all have it.

  spdx.py [--check] [ROOT]

Without --check, adds "SPDX-License-Identifier: MIT" as a comment in the file's own syntax to
every tracked source (C++, Python, shell, CMake, nasm, resource scripts) that lacks one: first
line, or after a #! line. Running it again changes nothing. With --check, only lists the files
that lack it and exits 1 if there are any. Generated and data files (pictures, corpora, JSON)
are left alone.
"""
import os
import subprocess
import sys

TAG = "SPDX-License-Identifier:"
LINE = TAG + " MIT"
COMMENT = {  # file name ending -> comment leader
    ".cpp": "//", ".h": "//", ".c": "//", ".rc.in": "//",
    ".py": "#", ".sh": "#", ".cmake": "#", "CMakeLists.txt": "#",
    ".asm": ";", ".nasm": ";",
}


def leader(path):
    for ending, mark in COMMENT.items():
        if path.endswith(ending):
            return mark
    return None


def tracked(root):
    """The files git tracks; outside a git checkout (a source archive) every file but builds."""
    try:
        out = subprocess.run(["git", "-C", root, "ls-files", "-z"], check=True,
                             capture_output=True).stdout
        return [p for p in out.decode().split("\0") if p]
    except (OSError, subprocess.CalledProcessError):
        found = []
        for top, dirs, files in os.walk(root):
            dirs[:] = [d for d in dirs if not d.startswith((".", "build"))]
            found += [os.path.relpath(os.path.join(top, f), root) for f in files]
        return found


def has_tag(text):
    return any(TAG in line for line in text.splitlines()[:5])


def main():
    args = sys.argv[1:]
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    lacking = []
    for path in tracked(root):
        mark = leader(path)
        full = os.path.join(root, path)
        if not mark or not os.path.isfile(full):
            continue
        with open(full, encoding="utf-8") as f:
            text = f.read()
        if has_tag(text):
            continue
        lacking.append(path)
        if check:
            continue
        comment = "%s %s\n" % (mark, LINE)
        if text.startswith("#!"):
            first, _, rest = text.partition("\n")
            text = first + "\n" + comment + rest
        else:
            text = comment + text
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)
    for path in lacking:
        print(("lacks its licence line: " if check else "added the licence line: ") + path)
    sys.exit(1 if check and lacking else 0)


if __name__ == "__main__":
    main()
