// SPDX-License-Identifier: Apache-2.0
// Which of the two formats a file is in, decided by its first bytes: the compound-file header
// signature ([MS-CFB] 2.2, D0 CF 11 E0 A1 B1 1A E1) or the signature of a ZIP local file header
// or end of central directory record (APPNOTE 4.3.7, 4.3.16: "PK\3\4", "PK\5\6"). A file that
// starts with neither is no presentation to read or change; only where a format must be named
// anyway (the display's empty rows) is it judged by its extension. A password-protected package
// is a compound file ([MS-OFFCRYPTO] 2.3.4) and is read as one, named .pptx or not; it is then an
// encrypted document (encryption_check.h).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/failure.h"

namespace quorvane::document {

enum class DocumentFormat { CompoundFile, Package };

// The format that the first bytes of a file announce; nullopt when they announce neither (fewer
// than 4 bytes, or another signature).
std::optional<DocumentFormat> formatOfLeadingBytes(std::span<const std::byte> leadingBytes);

// formatOfLeadingBytes for a reader that must not guess: the failure (Unsupported) "not a
// presentation: the file is empty" or "not a presentation: it begins with neither the signature
// of a compound file nor that of a ZIP archive" when the bytes announce neither format.
Result<DocumentFormat> announcedFormat(std::span<const std::byte> leadingBytes);

// True when the extension of `path` (after its last '.', ASCII letter case ignored) is one of
// the Open-XML package extensions: pptx pptm ppsx ppsm potx potm, docx docm dotx, xlsx xlsm xltx.
// A '.' in a folder name does not count.
bool hasPackageExtension(std::string_view path);

// The format of the file at `path`: by its first bytes when they announce one, else (a file of
// another kind, an empty file, one that cannot be opened or read, no file at all) a package when
// hasPackageExtension, a compound file otherwise. The file is opened for reading only, without
// a lock and without moving its last-access time where the system allows; it is never blocked
// on (a FIFO is not read).
DocumentFormat documentFormatOf(const std::string& path);

// The format the first bytes of the regular file at `path` announce, opened as documentFormatOf
// opens it; nullopt when they announce neither or the file cannot be read.
std::optional<DocumentFormat> announcedFormatOfFile(const std::string& path);

}  // namespace quorvane::document
