# SPDX-License-Identifier: Apache-2.0
# Looks for removed texts in a scrubbed file, as an independent check of `quorvane-cli scrub`.
# Usage: scrub_leftovers.py ORIGINAL SCRUBBED < JSON list of texts. Prints a JSON object:
# "left", the texts still found in the scrubbed file that the original held nowhere but in its
# property streams or parts; "excused", those that stood elsewhere in the original too;
# "titles_of_parts", those that the scrubbed file still lists as a title of its parts (a scrub
# leaves that list, PIDDSI_DOCPARTS or app.xml's TitlesOfParts, which may repeat the title);
# "thumbnail", whether the scrubbed file still has one (SummaryInformation property 0x11, or a
# package entry under docProps/ named thumbnail.*); "timed", whether it still stores a Total
# Editing Time or Last Printed (properties 0x0A and 0x0B, or the TotalTime and lastPrinted
# elements); "stored", for a compound file, the ids among 0x0A, 0x0B and 0x11 whose value bytes
# in the original's SummaryInformation (8 bytes of FILETIME, the first 64 of the thumbnail)
# still occur anywhere in the scrubbed file's bytes.
# A compound file (olefile) is searched in its raw bytes; a package (zipfile) in its raw bytes
# and in the inflated content of every entry. Texts are sought as UTF-8, code page 1252 and
# UTF-16LE, and in packages also with XML's escapes.
import json
import re
import struct
import sys
import zipfile
from xml.sax.saxutils import escape, unescape

import olefile

PROPERTY_STREAMS = {"\x05SummaryInformation", "\x05DocumentSummaryInformation"}
PROPERTY_PARTS = {"docProps/core.xml", "docProps/app.xml", "docProps/custom.xml"}


def forms(text):
    found = {text.encode("utf-8"), text.encode("utf-16-le"),
             escape(text, {'"': "&quot;", "'": "&apos;"}).encode("utf-8")}
    try:
        found.add(text.encode("cp1252"))
    except UnicodeEncodeError:
        pass
    return found


def blobs_of(path, outside_properties):
    """The raw bytes, and the content of each stream or entry (only those outside the property
    streams or parts when `outside_properties`)."""
    blobs = [] if outside_properties else [open(path, "rb").read()]
    if olefile.isOleFile(path):
        ole = olefile.OleFileIO(path)
        for entry in ole.listdir(streams=True, storages=False):
            if not outside_properties or "/".join(entry) not in PROPERTY_STREAMS:
                blobs.append(ole.openstream(entry).read())
        ole.close()
    else:
        with zipfile.ZipFile(path) as archive:
            for name in archive.namelist():
                if not outside_properties or name not in PROPERTY_PARTS:
                    blobs.append(archive.read(name))
    return blobs


def titles_of_parts(path):
    """The strings of PIDDSI_DOCPARTS ([MS-OLEPS] 2.3-2.8: the first section's offset follows the
    28-byte header and the 16-byte FMTID; a vector of code-page strings, which writers store
    unpadded, or of UTF-16 strings padded to 4 bytes), or of app.xml's TitlesOfParts."""
    if not olefile.isOleFile(path):
        with zipfile.ZipFile(path) as archive:
            app = archive.read("docProps/app.xml").decode("utf-8") if "docProps/app.xml" in archive.namelist() else ""
        found = re.search(r"<(?:\w+:)?TitlesOfParts>(.*?)</(?:\w+:)?TitlesOfParts>", app, re.S)
        return [unescape(t) for t in re.findall(r"<vt:lpstr>(.*?)</vt:lpstr>", found.group(1) if found else "", re.S)]
    ole = olefile.OleFileIO(path)
    data = ole.openstream("\x05DocumentSummaryInformation").read() if ole.exists("\x05DocumentSummaryInformation") else b""
    ole.close()
    if len(data) < 48:
        return []
    section, entries = first_section(data)
    titles = []
    for pid, offset in entries:
        if pid != 0x0D:
            continue
        at = section + offset
        vt, count = struct.unpack_from("<H2xI", data, at)
        at += 8
        for _ in range(count):
            size = struct.unpack_from("<I", data, at)[0] * (2 if vt == 0x101F else 1)
            raw = data[at + 4:at + 4 + size]
            titles.append(raw.decode("utf-16-le" if vt == 0x101F else "cp1252", "replace").rstrip("\x00"))
            at += 4 + size + ((-size) % 4 if vt == 0x101F else 0)
    return titles


def first_section(data):
    """The offset of the first section of a property-set stream and its (id, offset) pairs."""
    section = struct.unpack_from("<I", data, 44)[0]
    count = struct.unpack_from("<I", data, section + 4)[0]
    return section, [struct.unpack_from("<II", data, section + 8 + 8 * i) for i in range(count)]


def stored_left(original, scrubbed):
    if not olefile.isOleFile(original):
        return []
    ole = olefile.OleFileIO(original)
    data = ole.openstream("\x05SummaryInformation").read() if ole.exists("\x05SummaryInformation") else b""
    ole.close()
    raw = open(scrubbed, "rb").read()
    section, entries = first_section(data) if len(data) >= 48 else (0, [])
    left = []
    for pid, offset in entries:
        if pid in (0x0A, 0x0B, 0x11):
            value = data[section + offset + 4:section + offset + (12 if pid != 0x11 else 76)]
            if value in raw:
                left.append(pid)
    return left


def thumbnail_and_timed(path):
    if olefile.isOleFile(path):
        ole = olefile.OleFileIO(path)
        ids = ole.getproperties("\x05SummaryInformation") if ole.exists("\x05SummaryInformation") else {}
        ole.close()
        return 0x11 in ids, 0x0A in ids or 0x0B in ids
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        parts = b"".join(archive.read(name) for name in ("docProps/app.xml", "docProps/core.xml") if name in names)
        return (any(name.startswith("docProps/thumbnail.") for name in names),
                b"TotalTime>" in parts or b"lastPrinted>" in parts)


original, scrubbed = sys.argv[1], sys.argv[2]
texts = json.load(sys.stdin)
elsewhere = blobs_of(original, True)
now = blobs_of(scrubbed, False)
thumbnail, timed = thumbnail_and_timed(scrubbed)
listed = titles_of_parts(scrubbed)
verdict = {"left": [], "excused": [], "titles_of_parts": [], "thumbnail": thumbnail, "timed": timed,
           "stored": stored_left(original, scrubbed)}
for text in texts:
    if not any(form in blob for form in forms(text) for blob in now):
        continue
    if any(form in blob for form in forms(text) for blob in elsewhere):
        verdict["excused"].append(text)
    else:
        verdict["titles_of_parts" if text in listed else "left"].append(text)
print(json.dumps(verdict))
