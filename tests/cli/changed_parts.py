#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""Names the parts two versions of each presentation differ in, read by independent readers.

Usage: changed_parts.py OLD NEW [OLD NEW ...]
Prints one JSON list with a sorted list per pair: the streams (olefile, paths joined by '/')
or ZIP entries (zipfile, by content; a file is a ZIP archive when it begins with "PK") that differ, are missing or were added; ["unreadable"]
when either version does not open.
"""
import json
import sys
import zipfile

import olefile


def parts(path):
    with open(path, "rb") as f:
        is_zip = f.read(2) == b"PK"  # the format by the first bytes, as the program tells it
    if is_zip:
        with zipfile.ZipFile(path) as archive:
            return {info.filename: archive.read(info) for info in archive.infolist()}
    with olefile.OleFileIO(path) as ole:
        return {'/'.join(entry): ole.openstream(entry).read() for entry in ole.listdir(streams=True, storages=False)}


def main():
    result = []
    for old_path, new_path in zip(sys.argv[1::2], sys.argv[2::2]):
        try:
            old, new = parts(old_path), parts(new_path)
        except Exception:  # either reader raises several types for broken files
            result.append(["unreadable"])
            continue
        result.append(sorted(name for name in old.keys() | new.keys() if old.get(name) != new.get(name)))
    print(json.dumps(result))


main()
