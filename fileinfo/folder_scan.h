// SPDX-License-Identifier: Apache-2.0
// Which files the file list takes from a folder or a drop: presentation files by name alone (the
// binary and Open-XML presentation extensions in any letter case, no Office owner file "~$..."),
// and the listing of one folder, one level deep, that "Add files from folder" appends. Which
// format a taken file is read in is decided by its content (document/document_format.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::fileinfo {

// The extensions of the presentation family, upper-cased, the '.' included: presentations,
// shows and templates, binary, Open-XML and macro-enabled.
inline constexpr std::string_view kPresentationExtensions[] = {".PPT",  ".PPS",  ".POT",  ".PPTX", ".PPTM",
                                                               ".PPSX", ".PPSM", ".POTX", ".POTM"};

// True when the extension of the file name in `path` (from its last '.' on, the '.' included),
// upper-cased, is exactly one of kPresentationExtensions: "a.ppt", "A.PpTx" and "b.potm" are,
// "a.doc", "a.ppt.bak" and "ppt" are not. A '.' in a folder name does not count.
bool hasPresentationExtension(std::string_view path);

// True when `path` contains "~$" anywhere (the owner files Office leaves beside an open
// document, or anything inside a folder named so) and is therefore never taken from a folder
// or a drop.
bool hasOwnerFileMark(std::string_view path);

// True when a folder listing or a drop takes `path`: a regular file (FileEntryExists) with a
// presentation extension and no owner-file mark.
bool isTakenPresentationFile(const std::string& path);

// The presentation files directly inside `folder` (one trailing '/' ignored), each as
// folder + "/" + name: regular files only (symbolic links to regular files count; folders are
// neither taken nor entered), hidden and dot-files included, filtered by
// isTakenPresentationFile. Sorted by name in byte order, so the order does not depend on the
// file system's directory order. Empty when the folder cannot be read.
std::vector<std::string> listPresentationFiles(const std::string& folder);

}  // namespace quorvane::fileinfo
