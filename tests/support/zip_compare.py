#!/usr/bin/python3
"""Checks rewritten ZIP archives with Python's own zipfile module, independently of our reader.

Reads a JSON list on stdin; each item names an "original" and a "rewritten" archive, the entry
names that were "replaced", optionally "removed" and "added", and "expect": for each replaced or
added name, texts its new content holds. For every pair: both archives open, the rewritten one
passes testzip (every CRC), its entry names are the original's in their order less the removed
ones, followed by the added ones, every entry that was not replaced has the same method, CRC,
sizes, raw compressed bytes and content, and every replaced or added entry is deflated, parses
as namespace-well-formed XML when its name ends in .xml, and holds the expected texts. Prints one line per problem and exits 1 when there is any.
"""
import json
import struct
import sys
import xml.dom.minidom
import zipfile


def raw_data(path, info):
    with open(path, "rb") as f:
        f.seek(info.header_offset)
        header = f.read(30)
        if header[:4] != b"PK\x03\x04":
            raise ValueError("no local header at %d" % info.header_offset)
        name_size, extra_size = struct.unpack("<HH", header[26:30])
        f.seek(info.header_offset + 30 + name_size + extra_size)
        return f.read(info.compress_size)


def without_zip64(extra):
    """The extra field without its ZIP64 block, which holds the (moved) local header offset."""
    kept, at = b"", 0
    while at + 4 <= len(extra):
        block_id, size = struct.unpack("<HH", extra[at:at + 4])
        if block_id != 1:
            kept += extra[at:at + 4 + size]
        at += 4 + size
    return kept


def check_new_content(new, info, item, rewritten, problems):
    if info.compress_type != zipfile.ZIP_DEFLATED:
        problems.append("%s: %s is not deflated" % (rewritten, info.filename))
    content = new.read(info)
    if info.filename.endswith(".xml") or info.filename.endswith(".rels"):
        try:
            xml.dom.minidom.parseString(content)  # namespace-aware: an unbound prefix fails
        except Exception as error:
            problems.append("%s: %s is not namespace-well-formed: %s" % (rewritten, info.filename, error))
    text = content.decode("utf-8", "replace")
    for expected in item["expect"].get(info.filename, []):
        if expected not in text:
            problems.append("%s: %s lacks %r" % (rewritten, info.filename, expected))


def check(item):
    problems = []
    original, rewritten = item["original"], item["rewritten"]
    replaced = set(item["replaced"])
    removed = set(item.get("removed", []))
    added = item.get("added", [])
    with zipfile.ZipFile(original) as old, zipfile.ZipFile(rewritten) as new:
        bad = new.testzip()
        if bad is not None:
            problems.append("%s: entry %s fails its CRC" % (rewritten, bad))
        old_infos = [i for i in old.infolist() if i.filename not in removed]
        new_infos = new.infolist()
        if [i.filename for i in old_infos] + added != [i.filename for i in new_infos]:
            problems.append("%s: entry names or order differ" % rewritten)
            return problems
        for b in new_infos[len(old_infos):]:
            check_new_content(new, b, item, rewritten, problems)
        for a, b in zip(old_infos, new_infos):
            if a.filename in replaced:
                check_new_content(new, b, item, rewritten, problems)
                continue
            same = (a.compress_type, a.CRC, a.compress_size, a.file_size, without_zip64(a.extra), a.comment) == \
                   (b.compress_type, b.CRC, b.compress_size, b.file_size, without_zip64(b.extra), b.comment)
            if not same or raw_data(original, a) != raw_data(rewritten, b) or old.read(a) != new.read(b):
                problems.append("%s: %s changed" % (rewritten, a.filename))
    return problems


def main():
    problems = []
    for item in json.load(sys.stdin):
        try:
            problems += check(item)
        except Exception as error:  # any failure to read is a finding, reported with its file
            problems.append("%s: %s" % (item["rewritten"], error))
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
