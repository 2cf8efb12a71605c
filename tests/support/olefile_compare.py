#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""Compares two compound files with olefile, an independent reader.

Usage: olefile_compare.py OLD NEW
Prints one JSON object: whether each opens, the streams (by path) that differ, are missing
from NEW or were added, olefile's defect notes on NEW, and olefile's reading of the
SummaryInformation and DocumentSummaryInformation properties of NEW (bytes as latin-1 text,
numbers as numbers; olefile strips NUL bytes from strings and gives FILETIMEs in seconds), keyed
"SummaryInformation" and "DocumentSummaryInformation", and those of a second copy in the storage
PP97_DUALSTORAGE keyed "PP97_DUALSTORAGE/SummaryInformation" and so on.
"""
import json
import sys

import olefile


def load(path):
    ole = olefile.OleFileIO(path)
    streams = {}
    for entry in ole.listdir(streams=True, storages=False):
        streams['/'.join(entry)] = ole.openstream(entry).read()
    props = {}
    for storage in ([], ['PP97_DUALSTORAGE']):
        for name in ('\x05SummaryInformation', '\x05DocumentSummaryInformation'):
            path = storage + [name]
            if not ole.exists('/'.join(path)):
                continue
            values = ole.getproperties(path, convert_time=False)
            props['/'.join(storage + [name[1:]])] = {str(k): (v.decode('latin-1') if isinstance(v, bytes) else
                                                v if isinstance(v, (int, float, str)) or v is None else repr(v))
                                       for k, v in values.items()}
    issues = [str(i) for i in getattr(ole, 'parsing_issues', [])]
    ole.close()
    return streams, props, issues


def main():
    result = {}
    try:
        old, _, _ = load(sys.argv[1])
        result['old_opens'] = True
    except Exception as error:  # olefile raises several types for broken files
        result['old_opens'] = False
        result['old_error'] = str(error)
        old = {}
    try:
        new, props, issues = load(sys.argv[2])
        result['new_opens'] = True
        result['props'] = props
        result['issues'] = issues
    except Exception as error:
        result['new_opens'] = False
        result['new_error'] = str(error)
        new = {}
    result['changed'] = sorted(n for n in old if n in new and old[n] != new[n])
    result['missing'] = sorted(n for n in old if n not in new)
    result['added'] = sorted(n for n in new if n not in old)
    print(json.dumps(result))


if __name__ == '__main__':
    main()
