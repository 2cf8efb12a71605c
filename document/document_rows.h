// The 14 property rows of a presentation file, whichever its format: the format is chosen by the
// file's first bytes, the extension deciding only for a file that announces neither
// (document_format.h), and the rows go to the package reader and writer or to the
// compound-document row operations. The one place where that choice is made. A write to a
// digitally signed file is refused (signature_check.h).
#pragma once

#include <optional>
#include <string>

#include "base/failure.h"
#include "package/package_rows.h"

namespace quorvane::document {

// True when the file at `path` is read and written as a package: documentFormatOf(path).
bool isPackagePath(const std::string& path);

// The 14 row texts as the program shows them. A package gives nullopt when it cannot be read as
// a package (ReadPackageProperties); a compound document always gives its rows, "" where a
// property or the whole file cannot be read. Throws quorvane::Error for a package part that is
// not well-formed XML.
std::optional<props::RowTexts> readDocumentRows(const std::string& path);

// Writes the selected rows of `texts`: a package in one rewrite (WritePackageProperties), a
// compound document set by set, the trimmed texts of each property set in one replacement of its
// stream (writePptRows), stopping at the first set whose write fails. True when everything
// selected was written. A digitally signed file (unless SignedDocumentWrites allows it) is not
// touched: false when a row is selected, true when none is. Conversion, XML and archive errors pass through as quorvane::Error.
bool writeDocumentRows(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected);

// readDocumentRows with the reason of a failure: the rows, or why the file cannot be read (no
// such file, in use by another program, damaged compound file or package, ...). Throws as
// readDocumentRows does, except that a package part that is not well-formed XML is a failure
// ("package part not well-formed: <part>: ...", package::readPackageRows).
Result<props::RowTexts> readRows(const std::string& path);

// writeDocumentRows with the reason of a failure: Failure{} when everything selected was written,
// else why not (what was written before the failure stays written, as there); a signed file gives
// signedDocumentRefusal() and is not touched. Throws as
// writeDocumentRows does, except that for a package a part that is not well-formed XML and a
// failed rewrite ("no space left on the device", ...) are failures (package::writePackageRows).
Failure writeRows(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected);

}  // namespace quorvane::document
