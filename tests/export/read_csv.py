# SPDX-License-Identifier: Apache-2.0
# Reads a CSV file with Python's csv module, strictly, and prints its rows as JSON, so that the
# export tests check our files with an independent reader.
import csv
import json
import sys

with open(sys.argv[1], newline="", encoding="utf-8") as f:
    data = f.read()
if data.startswith("\ufeff"):
    sys.exit("byte-order mark")
with open(sys.argv[1], newline="", encoding="utf-8") as f:
    rows = list(csv.reader(f, strict=True))
print(json.dumps({"rows": rows, "crlf_lines": data.count("\r\n"), "ends_crlf": data.endswith("\r\n")}))
