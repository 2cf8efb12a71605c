// SPDX-License-Identifier: Apache-2.0
#include "base/failure.h"

#include <cerrno>
#include <cctype>
#include <cstring>

namespace quorvane {

Failure Failure::fromErrno(int errnum)
{
    switch (errnum) {
    case 0: return {FailureKind::Io, "input/output error"};
    case ENOENT:
    case ENOTDIR: return {FailureKind::NotFound, "no such file"};
    case EISDIR: return {FailureKind::NotRegularFile, "not a regular file"};
    case EACCES:
    case EPERM: return {FailureKind::Permission, "permission denied"};
    case ENOSPC:
    case EDQUOT: return {FailureKind::NoSpace, "no space left on the device"};
    case EROFS: return {FailureKind::ReadOnly, "read-only file system"};
    case EFBIG: return {FailureKind::NoSpace, "file too large for the file system"};
    default: break;
    }
    char buffer[256];
    // GNU strerror_r: returns the text, which may or may not live in `buffer`.
    const char* text = ::strerror_r(errnum, buffer, sizeof buffer);
    std::string words(text);
    if (!words.empty()) words[0] = char(std::tolower(static_cast<unsigned char>(words[0])));
    return {FailureKind::Io, words};
}

Failure Failure::within(std::string_view context) const
{
    if (!failed()) return *this;
    return {kind_, std::string(context) + ": " + text_};
}

Failure damaged(std::string_view what) { return {FailureKind::Damaged, "damaged " + std::string(what)}; }
Failure lockedByAnotherProgram() { return {FailureKind::Locked, "in use by another program"}; }
Failure readOnlyFile() { return {FailureKind::ReadOnly, "read-only"}; }

}  // namespace quorvane
