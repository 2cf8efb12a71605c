// SPDX-License-Identifier: Apache-2.0
// The "Single Change" page showing the selected file of the list: its three times in the
// pickers, its four attributes in the boxes and its 14 property values in ListView3, and the
// commands that need a selected file. The selection handler TForm1::ListView1Change is defined
// in property_display.cpp.
#pragma once

namespace quorvane::change {
struct FileDisplay;
}

namespace quorvane::app {

class TForm1;

// Shows what reading a file gave: with a snapshot, the creation and modify times in their
// picker pairs, the last-access time only when it lies after day 1602 (else those pickers keep
// what they show), and the four attribute boxes checked or unchecked, never grayed; the 14
// values from the rows, or all 14 empty when the rows could not be read, so that no value of
// the file shown before stays beside this one; on the "Custom Properties" page the custom
// properties, or why they (or the file) could not be read.
void showFileDisplay(TForm1& form, const change::FileDisplay& display);

// Turns on, with a selected line, "Remove" (button and pop-up item), both "Make Change", both
// "Export to CSV", "Load from selected file", the "File Date Time" and "File Attribute" groups
// of the Single Change page and the "Custom Properties" page; without one, turns off all of these but the batch page's
// "Make Change" and "Export to CSV", which check the list for themselves.
void enableSelectionCommands(TForm1& form, bool hasSelection);

}  // namespace quorvane::app
