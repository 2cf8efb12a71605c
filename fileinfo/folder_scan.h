// Which files the file list takes from a folder or a drop: presentation files by name alone
// (".ppt" or ".pptx" in any letter case, no Office owner file "~$..."), and the listing of one
// folder, one level deep, that "Add files from folder" appends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::fileinfo {

// True when the extension of the file name in `path` (from its last '.' on, the '.' included),
// upper-cased, is exactly ".PPT" or ".PPTX": "a.ppt" and "A.PpTx" are, "a.pptm", "a.pps" and
// "ppt" are not. A '.' in a folder name does not count.
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
