#include "cli/file_failure.h"

#include <sys/stat.h>

#include "propset/property_set_access.h"

namespace quorvane::cli {

std::string readFailureReason(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return "no such file";
    if (!S_ISREG(info.st_mode)) return "not a regular file";
    switch (propset::probeCompoundFile(path)) {
    case Fault::None: return "";
    case Fault::Locked: return "in use by another program";
    case Fault::Corrupt: return "not a compound document, or damaged";
    case Fault::NotFound: return "cannot be opened";
    default: return "cannot be read";
    }
}

std::string packageFailureReason()
{
    return "not a readable package (no ZIP archive, a property part or relationship missing or damaged, "
           "or in use by another program)";
}

std::string writeFailureReason(const std::string& path)
{
    if (const std::string reason = readFailureReason(path); !reason.empty()) return reason;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && (info.st_mode & 0222) == 0) return "read-only";
    return "the properties could not be written (damaged file, text not possible in its code page, or a write error)";
}

}  // namespace quorvane::cli
