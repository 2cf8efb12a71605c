# SPDX-License-Identifier: Apache-2.0
# Walks the program's accessibility tree over AT-SPI, page by page, as a screen reader reads it,
# and fails when a control that can be operated has no name, when more than three controls
# shown together share a name, or when the 12 file-time fields lack 12 distinct names. Prints
# the counts. Run by on_xvfb.sh inside a session bus and an X server.
# Usage: atspi_walk.py PROGRAM
import sys
import time
from collections import Counter

import pyatspi

from window_session import find, start_on_the_bus

OPERABLE_ROLES = {"push button", "check box", "radio button", "combo box", "spin button", "text", "entry",
                  "table", "tree table", "tree", "list", "page tab", "toggle button", "menu item"}
ITEM_VIEW_ROLES = {"table", "tree table", "tree", "list"}
PAGES = ["Single Change", "Batch Change", "Custom Properties"]


def walk(node, shown, time_fields, depth=0):
    """Collects (role, name) of the operable controls shown under `node`."""
    if node is None or depth > 50:
        return
    state = node.getState()
    if not state.contains(pyatspi.STATE_SHOWING):
        return
    role = node.getRoleName()
    if role in OPERABLE_ROLES or state.contains(pyatspi.STATE_FOCUSABLE):
        shown.append((role, (node.name or "").strip()))
        if role == "spin button" and node.parent is not None and node.parent.name == "File Date Time":
            time_fields.add((node.name or "").strip())
    if role in ITEM_VIEW_ROLES:
        return
    for child in node:
        walk(child, shown, time_fields, depth + 1)


def main():
    process, app = start_on_the_bus(sys.argv[1])
    try:
        window = app[0]
        unnamed, most_shared, time_fields, operable = [], (0, ""), set(), 0
        for caption in PAGES:
            tab = find(window, "page tab", caption)
            if tab is None:
                sys.exit(f"no page tab {caption!r}")
            tab.queryAction().doAction(0)
            time.sleep(0.5)
            shown = []
            walk(window, shown, time_fields)
            operable += len(shown)
            unnamed += [f"{caption}: {role}" for role, name in shown if not name]
            counts = Counter(name for _, name in shown if name)
            if counts:
                name, count = counts.most_common(1)[0]
                most_shared = max(most_shared, (count, name))
        print(f"operable controls shown, summed over the pages: {operable}")
        print(f"unnamed operable controls: {len(unnamed)} {unnamed}")
        print(f"most shared name: {most_shared[1]!r} x{most_shared[0]}")
        print(f"distinct file-time field names: {len(time_fields)}")
        ok = not unnamed and most_shared[0] <= 3 and len(time_fields) == 12
        return 0 if ok else 1
    finally:
        process.terminate()
        process.wait(10)


if __name__ == "__main__":
    sys.exit(main())
