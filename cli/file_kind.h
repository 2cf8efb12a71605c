// Which property store a file is read and written through, decided by its extension alone:
// ".pptx" in any letter case is a package, every other name a compound document. The one
// place the tool makes that choice.
#pragma once

#include <string_view>

namespace quorvane::cli {

enum class FileKind { CompoundDocument, Package };

FileKind fileKindOf(std::string_view path);

}  // namespace quorvane::cli
