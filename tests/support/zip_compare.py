#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""Checks rewritten ZIP archives with Python's own zipfile module, independently of our reader.

Reads a JSON list on stdin; each item names an "original" and a "rewritten" archive, the entry
names that were "replaced", optionally "removed" and "added", and "expect": for each replaced or
added name, texts its new content holds. For every pair: both archives open, the rewritten one
passes testzip (every CRC), its entry names are the original's in their order less the removed
ones, followed by the added ones, every entry that was not replaced has the same method, CRC,
sizes, raw compressed bytes and content, and every replaced or added entry is deflated, parses
as namespace-well-formed XML when its name ends in .xml, and holds the expected texts. The
rewritten archive is also read front to back as a streaming reader reads it (stream_problems),
and tested by `unzip -t` where unzip is installed. Prints one line per problem and exits 1 when
there is any.
"""
import json
import shutil
import struct
import subprocess
import sys
import xml.dom.minidom
import zipfile
import zlib


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


def zip64_sizes(extra, compressed_size, size):
    """The sizes of a local header, taken from its ZIP64 block where a field holds 0xFFFFFFFF (APPNOTE 4.5.3)."""
    at = 0
    while at + 4 <= len(extra):
        block_id, block_size = struct.unpack("<HH", extra[at:at + 4])
        if block_id == 1:
            values = list(struct.unpack("<%dQ" % (block_size // 8), extra[at + 4:at + 4 + block_size // 8 * 8]))
            if size == 0xFFFFFFFF and values:
                size = values.pop(0)
            if compressed_size == 0xFFFFFFFF and values:
                compressed_size = values.pop(0)
            return True, compressed_size, size
        at += 4 + block_size
    return False, compressed_size, size


def stream_problems(path, archive):
    """Reads the archive as java.util.zip.ZipInputStream and unzip read it, without its central
    directory: from the first local header (offset 0 unless the archive carries a stub), header after
    header, each entry's data ending where its local sizes say, or, with flag bit 3, where its deflate
    stream ends, followed by a data descriptor (APPNOTE 4.3.9, signature optional). Each entry's CRC
    and sizes, from its local header or its descriptor, must be those of its central record and of
    its data, and the last entry must end where the central directory begins."""
    with open(path, "rb") as f:
        data = f.read()
    by_offset = {info.header_offset: info for info in archive.infolist()}
    at = min(by_offset, default=archive.start_dir)
    while at < archive.start_dir:
        info = by_offset.pop(at, None)
        if data[at:at + 4] != b"PK\x03\x04" or info is None:
            return ["%s: no local header of a central record at %d" % (path, at)]
        flags, method, crc, compressed_size, size, name_size, extra_size = \
            struct.unpack("<2xHH4xIIIHH", data[at + 4:at + 30])
        name = data[at + 30:at + 30 + name_size].decode("utf-8" if flags & 0x800 else "cp437")
        extra = data[at + 30 + name_size:at + 30 + name_size + extra_size]
        has_zip64, compressed_size, size = zip64_sizes(extra, compressed_size, size)
        start = at + 30 + name_size + extra_size
        where = "%s: %s at %d" % (path, name, at)
        if name != info.orig_filename:
            return ["%s: its central record names %s" % (where, info.orig_filename)]
        if flags & 0x8:
            if method != zipfile.ZIP_DEFLATED:
                return ["%s: a stored entry with a data descriptor has no end a streaming reader can find" % where]
            inflater = zlib.decompressobj(-15)
            content = inflater.decompress(data[start:archive.start_dir])
            if not inflater.eof:
                return ["%s: its deflate stream does not end" % where]
            descriptor = archive.start_dir - len(inflater.unused_data)
            compressed = data[start:descriptor]
            if data[descriptor:descriptor + 4] == b"PK\x07\x08":
                descriptor += 4
            layout = "<IQQ" if has_zip64 else "<III"
            crc, compressed_size, size = struct.unpack(layout, data[descriptor:descriptor + struct.calcsize(layout)])
            at = descriptor + struct.calcsize(layout)
        else:
            compressed = data[start:start + compressed_size]
            content = compressed if method == zipfile.ZIP_STORED else zlib.decompress(compressed, -15)
            at = start + compressed_size
        found = (crc, compressed_size, size)
        if found != (info.CRC, info.compress_size, info.file_size) or \
                found != (zlib.crc32(content), len(compressed), len(content)):
            return ["%s: CRC and sizes %s differ from its central record's or its data's" % (where, found)]
    if at != archive.start_dir:
        return ["%s: the last entry ends at %d, the central directory begins at %d" % (path, at, archive.start_dir)]
    if by_offset:
        return ["%s: no local header reached for %s" % (path, sorted(i.filename for i in by_offset.values()))]
    return []


def unzip_problems(path):
    """What `unzip -t` finds wrong, where unzip is installed."""
    if shutil.which("unzip") is None:
        return []
    run = subprocess.run(["unzip", "-tqq", path], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return [] if run.returncode == 0 else ["%s: unzip -t: %s" % (path, run.stdout.strip())]


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
        problems += stream_problems(rewritten, new) + unzip_problems(rewritten)
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
