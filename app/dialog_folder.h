// SPDX-License-Identifier: Apache-2.0
// The folder where the open, folder and CSV save dialogs start: the one a dialog of this program
// was last answered in, kept in the per-user defaults store so that it outlives the run.
#pragma once

#include <QString>

#include <string>

namespace quorvane::app {

// The folder the next dialog opens in, or an empty text when none is remembered or it is no
// longer a folder (the dialog then starts where it would have started anyway).
QString dialogStartFolder();

// Remembers the folder of a dialog's answer: `path` itself when it is a folder, else the folder
// that holds it. Nothing is remembered for an empty path; a store that cannot be written is
// left as it is.
void rememberDialogFolder(const std::string& path);

}  // namespace quorvane::app
