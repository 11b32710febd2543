#!/usr/bin/env python3
"""The size of the tests against the code: non-blank, non-comment C++ lines per top folder.

  suite_size.py [FILE...]   # with files: their counts alone
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def count(path):
    lines, in_block = 0, False
    for line in open(path, errors="replace"):
        text = line.strip()
        if in_block:
            in_block = "*/" not in text
            continue
        if not text or text.startswith("//"):
            continue
        if text.startswith("/*"):
            in_block = "*/" not in text
            continue
        lines += 1
    return lines


def main():
    if len(sys.argv) > 1:
        for path in sys.argv[1:]:
            print(f"{count(path):6} {path}")
        return
    folders = {}
    for root, dirs, files in os.walk(ROOT):
        dirs[:] = [d for d in dirs if d not in ("build", ".git")]
        for name in files:
            if name.endswith((".cpp", ".h")):
                top = os.path.relpath(root, ROOT).split(os.sep)[0]
                folders[top] = folders.get(top, 0) + count(os.path.join(root, name))
    code = sum(n for top, n in folders.items() if top != "tests")
    for top in sorted(folders):
        print(f"{folders[top]:6} {top}/")
    print(f"tests {folders.get('tests', 0)} against code {code}: {100.0 * folders.get('tests', 0) / code:.1f}%")


if __name__ == "__main__":
    main()
