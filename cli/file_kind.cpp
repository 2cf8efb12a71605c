#include "cli/file_kind.h"

#include <cctype>

namespace quorvane::cli {

FileKind fileKindOf(std::string_view path)
{
    constexpr std::string_view kPackageExtension = ".pptx";
    if (path.size() < kPackageExtension.size()) return FileKind::CompoundDocument;
    const std::string_view tail = path.substr(path.size() - kPackageExtension.size());
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != kPackageExtension[i]) return FileKind::CompoundDocument;
    return FileKind::Package;
}

}  // namespace quorvane::cli
