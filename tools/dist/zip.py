#!/usr/bin/env python3
"""Writes a zip whose bytes depend on its files alone: the entries in the order given, each with the
same time and attributes, compressed at a fixed level.

  zip.py OUT.zip FOLDER NAME...
"""
import os
import sys
import zipfile


def main():
    out, folder, names = sys.argv[1], sys.argv[2], sys.argv[3:]
    with zipfile.ZipFile(out, "w") as archive:
        for name in names:
            entry = zipfile.ZipInfo(name, date_time=(2000, 1, 1, 0, 0, 0))
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 0  # as written on Windows: no Unix owner or mode bits
            entry.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
            with open(os.path.join(folder, name), "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)


if __name__ == "__main__":
    main()
