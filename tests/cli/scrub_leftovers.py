# Looks for removed texts in a scrubbed file, as an independent check of `quorvane-cli scrub`.
# Usage: scrub_leftovers.py ORIGINAL SCRUBBED < JSON list of texts. Prints a JSON object:
# "left", the texts still found in the scrubbed file that the original held nowhere but in its
# property streams or parts; "excused", those that stood elsewhere in the original too.
# A compound file (olefile) is searched in its raw bytes; a package (zipfile) in its raw bytes
# and in the inflated content of every entry. Texts are sought as UTF-8, code page 1252 and
# UTF-16LE, and in packages also with XML's escapes.
import json
import sys
import zipfile
from xml.sax.saxutils import escape

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


original, scrubbed = sys.argv[1], sys.argv[2]
texts = json.load(sys.stdin)
elsewhere = blobs_of(original, True)
now = blobs_of(scrubbed, False)
verdict = {"left": [], "excused": []}
for text in texts:
    if not any(form in blob for form in forms(text) for blob in now):
        continue
    stood_elsewhere = any(form in blob for form in forms(text) for blob in elsewhere)
    verdict["excused" if stood_elsewhere else "left"].append(text)
print(json.dumps(verdict))
