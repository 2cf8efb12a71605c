// SPDX-License-Identifier: Apache-2.0
// The failures of the ZIP layer, made where the archive breaks: "not a ZIP archive" when the file
// has no end-of-central-directory record (APPNOTE 4.3.16), "damaged ZIP archive: <what>" when a
// record it leads to breaks the format, and the system's reason when a read is refused.
#pragma once

#include <cerrno>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "base/random_access_file.h"

namespace quorvane::zip {

inline Failure notZipArchive() { return {FailureKind::Damaged, "not a ZIP archive"}; }

inline Failure damagedArchive(std::string_view what) { return damaged("ZIP archive: " + std::string(what)); }

// Reads exactly out.size() bytes at `offset`. Failure{} on success; otherwise the system's reason
// when it refused the read (errno), else damagedArchive(`endsEarly`): the file ended first.
inline Failure readArchiveBytes(RandomAccessFile& file, std::uint64_t offset, std::span<std::byte> out,
                                std::string_view endsEarly)
{
    errno = 0;
    if (file.readAt(offset, out)) return {};
    return errno != 0 ? Failure::fromErrno(errno) : damagedArchive(endsEarly);
}

}  // namespace quorvane::zip
