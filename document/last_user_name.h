// The name of the last user who saved a .ppt, which PowerPoint keeps outside the property sets:
// the CurrentUserAtom that is the whole "Current User" stream ([MS-PPT] 2.1.1, 2.3.2).
#pragma once

#include <string>

#include "base/failure.h"

namespace quorvane::document {

// Empties the user name of the CurrentUserAtom of the compound file at `path` (ansiUserName and
// unicodeUserName; every other field kept, bytes after the record dropped) in one
// interruption-safe replacement of the stream. Failure{} when emptied, when the name is empty
// already, and when the file has no such stream or the stream is no CurrentUserAtom this code
// understands (it is left as it is). Otherwise why not (the open's, "read-only", a damaged
// compound file, the write's), the file then as it was. A digitally signed file is refused
// (signature_check.h).
Failure clearLastUserName(const std::string& path);

}  // namespace quorvane::document
