# SPDX-License-Identifier: Apache-2.0
# Does the window's everyday tasks with the keyboard alone, as a user who cannot use a mouse
# does them, and reads the files afterwards with quorvane-cli: adding files through the open
# dialog, a single change of a text and a date row, a batch change of two rows over a .ppt and a
# .pptx, a custom property, "Remove personal information" cancelled, Help and About opened and
# closed. Keys go in through xdotool; AT-SPI only reads what the window shows. Run by on_xvfb.sh.
# Usage: keyboard_tasks.py PROGRAM CLI CORPUS_FILES_DIR
import json
import os
import shutil
import subprocess
import sys
import tempfile

import pyatspi

from window_session import Window, find, skip

# The small corpus files of the change tests (tests/ui/change_test_support.h).
SMALL_PPT = "Single_Coloured_Page.ppt"
SMALL_PPTX = "60042.pptx"
FILE_LIST, SINGLE_TABLE, BATCH_TABLE, CUSTOM_TABLE = "Files", "Document properties", "Batch values", "Custom properties"
# Rows of the property tables (props/catalogue.cpp).
TITLE, SUBJECT, COMPANY, CREATED = 0, 1, 9, 10


def fail(message):
    sys.exit(f"FAILED: {message}")


def show(cli, *paths):
    """The files as quorvane-cli reads them, by path."""
    out = subprocess.run([cli, "show", "--json", *paths], check=True, capture_output=True, text=True,
                         env=dict(os.environ, TZ="UTC")).stdout
    return {entry["path"]: entry for entry in json.loads(out)}


def row_values(window, table):
    """The value column of a two-column property table, by row."""
    return [name for name, _ in window.column(table, 1)]


def wait_for_row(window, table, row, value):
    window.wait_for(f"{value!r} in row {row} of {table!r}", lambda: row_values(window, table)[row] == value)


def add_files(window, paths):
    window.keys("ctrl+o")
    window.wait_for_focus("Open", "text", "File name:")
    window.type(" ".join(f'"{path}"' for path in paths))
    window.keys("Return")
    window.wait_for("the open dialog to close", lambda: not window.dialog_shown())
    window.wait_for("the files in the list", lambda: [name for name, _ in window.column(FILE_LIST, 0)] == paths)


def select_first_file(window):
    window.keys("ctrl+f")
    window.tab_to("tree", FILE_LIST)
    window.keys("End", "Home")  # Home alone does not select the line it is already on


def single_change(window, ppt):
    select_first_file(window)
    window.wait_for("the .ppt shown", lambda: row_values(window, SINGLE_TABLE)[TITLE] == ppt["properties"]["title"])
    window.tab_to("tree", SINGLE_TABLE)
    window.keys("End", "Home", "Return")
    window.type("Keyboard title")
    window.keys("Return")
    window.keys(*["Down"] * (CREATED - TITLE), "Return")
    window.type("2011-06-30")
    window.keys("Tab")
    window.type("08:05:00")
    window.keys("Return")
    wait_for_row(window, SINGLE_TABLE, TITLE, "Keyboard title")
    wait_for_row(window, SINGLE_TABLE, CREATED, "2011-06-30 08:05:00")
    window.keys("alt+m")


def check_batch_ticks(window):
    """The batch table's ticked rows, and only they, read as checked; every row reads as checkable
    where the accessibility bridge reports that state at all (Qt 6.4's reports it for no control,
    not even a check box)."""
    labels = window.column(BATCH_TABLE, 0)
    checked = [name for name, state in labels if state.contains(pyatspi.STATE_CHECKED)]
    if checked != [labels[SUBJECT][0], labels[COMPANY][0]]:
        fail(f"batch rows read as checked: {checked}")
    box = find(window.main, "check box")
    if not box.getState().contains(pyatspi.STATE_CHECKABLE):
        print(f"note: the bridge reports no state checkable, not even for the check box {box.name!r}")
        return
    not_checkable = [name for name, state in labels if not state.contains(pyatspi.STATE_CHECKABLE)]
    if not_checkable:
        fail(f"batch rows not checkable over AT-SPI: {not_checkable}")


def batch_change(window):
    window.keys("ctrl+Tab")
    window.wait_for("the batch page", lambda: window.column(BATCH_TABLE, 0))
    window.tab_to("tree", BATCH_TABLE)
    window.keys("End", "Home", "Down", "space", "Return")
    window.type("Keyboard subject")
    window.keys("Return", *["Down"] * (COMPANY - SUBJECT), "space", "Return")
    window.type("Keyboard company")
    window.keys("Return")
    wait_for_row(window, BATCH_TABLE, SUBJECT, "Keyboard subject")
    wait_for_row(window, BATCH_TABLE, COMPANY, "Keyboard company")
    check_batch_ticks(window)
    window.keys("alt+m")
    window.wait_for("the batch change", lambda: window.status().startswith("2 files changed, 0 failed"))


def add_custom_property(window):
    window.keys("ctrl+Tab")
    window.wait_for("the custom properties page", lambda: find(window.main, "push button", "Add"))
    names = lambda: [name for name, _ in window.column(CUSTOM_TABLE, 0)]
    lines = names()
    window.keys("alt+a")
    window.wait_for("a new line", lambda: names() == lines + [""])
    window.type("Reviewer")
    window.keys("Return", "Right", "Right")
    window.type("Keyboard")
    window.keys("Return")
    window.wait_for("the custom property in the table",
                    lambda: [window.column(CUSTOM_TABLE, column)[-1][0] for column in range(3)] == ["Reviewer", "text", "Keyboard"])
    window.keys("alt+p")


def cancel_remove_personal_information(window):
    window.keys("alt+f", "p")
    window.wait_for("the remove dialog", lambda: window.window("Remove personal information"))
    window.wait_for("the remove dialog's focus", lambda: (window.focus() or ("",))[0] == "Remove personal information")
    window.keys("Escape")
    window.wait_for("the remove dialog to close", lambda: not window.dialog_shown())


def folder_bytes(folder):
    return {name: open(os.path.join(folder, name), "rb").read() for name in os.listdir(folder)}


def open_and_close(window, keys, title):
    """Opens the dialog `title` with `keys`, closes it with Escape; the focus comes back to where it was."""
    window.give_focus_back()
    before = window.wait_for("the focus in the main window", window.focus)
    window.keys(*keys)
    window.wait_for(f"{title!r} with the focus", lambda: (window.focus() or ("",))[0] == title)
    window.keys("Escape")
    window.wait_for(f"{title!r} to close", lambda: not window.dialog_shown())
    window.give_focus_back()
    window.wait_for(f"the focus back on {before} after {title!r}", lambda: window.focus() == before)


def main():
    program, cli, corpus = sys.argv[1:4]
    if not all(os.path.isfile(os.path.join(corpus, name)) for name in (SMALL_PPT, SMALL_PPTX)):
        skip(f"the corpus files {SMALL_PPT} and {SMALL_PPTX} are not in {corpus}")
    folder = tempfile.mkdtemp()
    paths = []
    for name in (SMALL_PPT, SMALL_PPTX):
        paths.append(os.path.join(folder, name))
        shutil.copyfile(os.path.join(corpus, name), paths[-1])
    ppt, pptx = paths
    window = Window(program)
    try:
        add_files(window, paths)
        print("ok: files added through the open dialog")

        single_change(window, show(cli, ppt)[ppt])
        changed = lambda properties: (properties["title"], properties["created"]) == ("Keyboard title", "2011-06-30T08:05:00+00:00")
        window.wait_for("the single change in the file", lambda: changed(show(cli, ppt)[ppt]["properties"]), 20)
        print("ok: single change of Title and Create Time/Date")

        batch_change(window)
        for path, entry in show(cli, ppt, pptx).items():
            values = (entry["properties"]["subject"], entry["properties"]["company"])
            if values != ("Keyboard subject", "Keyboard company"):
                fail(f"batch change of {path}: {values}")
        print("ok: batch change of Subject and Company over a .ppt and a .pptx, its ticks read over AT-SPI")

        add_custom_property(window)
        wanted = [{"name": "Reviewer", "type": "text", "value": "Keyboard"}]
        window.wait_for("the custom property in the file", lambda: show(cli, ppt)[ppt]["custom"] == wanted, 20)
        print("ok: custom property applied")

        before = folder_bytes(folder)
        cancel_remove_personal_information(window)
        if folder_bytes(folder) != before:
            fail("cancelling Remove personal information changed the files")
        print("ok: Remove personal information cancelled, files unchanged")

        open_and_close(window, ["F1"], "Help Hints")
        open_and_close(window, ["alt+h", "a"], "About")
        print("ok: Help Hints and About opened and closed, the focus back where it was")

        window.keys("ctrl+q")
        if window.process.wait(30) != 0:
            fail(f"the program ended with status {window.process.returncode}")
        print("ok: closed with Ctrl+Q")
        return 0
    finally:
        window.close()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
