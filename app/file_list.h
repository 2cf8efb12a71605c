// SPDX-License-Identifier: Apache-2.0
// The file list's ways in: the open dialog, a whole folder and files dropped on the list. The
// two dialogs sit behind a replaceable pair of functions, so that tests answer them instead of
// a person. The commands themselves are TForm1's handlers (ToolButton1Click, ToolButton5Click,
// ToolButton2Click, ToolButton3Click, ListView1FilesDropped), defined in file_list.cpp.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace quorvane::app {

class TForm1;

struct FileListDialogs {
    // The files chosen in the open dialog, as file-system paths in the dialog's order; empty
    // when the user cancels.
    std::function<std::vector<std::string>(QWidget* parent)> chooseFiles;
    // The folder chosen in the folder dialog as a file-system path; nullopt when the user
    // cancels.
    std::function<std::optional<std::string>(QWidget* parent)> chooseFolder;
};

// Installs `dialogs` (an empty function restores the real dialog it stands for) and returns the
// pair it replaces.
FileListDialogs setFileListDialogs(FileListDialogs dialogs);

// Lets the file list of `form` take files dropped on it (local file URLs): an event filter on
// its viewport, named "FileDropFilter", runs form.ListView1FilesDropped for each drop.
void acceptFileDrops(TForm1& form);

// Adds the files named on the command line, in argument order, as the program starts: a folder
// adds its files as "Add files from folder" does, a file is taken or skipped as a dropped file
// is, and a relative path is taken from the current folder. Like a drop, it selects the last
// line and turns the list's commands on when at least one line was appended.
void addCommandLinePaths(TForm1& form, const std::vector<std::string>& arguments);

}  // namespace quorvane::app
