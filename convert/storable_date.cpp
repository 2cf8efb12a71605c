// SPDX-License-Identifier: Apache-2.0
#include "convert/storable_date.h"

namespace quorvane::convert {
namespace {

// Milliseconds from 1601-01-01 (FILETIME's origin) to 1970-01-01.
constexpr std::int64_t kFileTimeOriginToUnixMs = 11'644'473'600'000;
constexpr std::int64_t kFileTimeUnitsPerMs = 10'000;

}  // namespace

Failure storableDateRefusal(std::int64_t utcMs, std::string_view what)
{
    if (utcMs >= kFirstStorableUtcMs && utcMs < kEndOfStorableUtcMs) return {};
    return Failure(FailureKind::Conversion,
                   std::string(what) + " cannot be stored: a date must lie from 1601-01-01 00:00:01 to 9999-12-31 23:59:59 UTC");
}

Failure storableFileTimeRefusal(FileTime fileTime, std::string_view what)
{
    // Every FILETIME past the year 10000 is refused as that year's start is; no cast overflows.
    const FileTime endOfStorable = FileTime(kEndOfStorableUtcMs + kFileTimeOriginToUnixMs) * kFileTimeUnitsPerMs;
    const std::int64_t utcMs = fileTime >= endOfStorable
                                   ? kEndOfStorableUtcMs
                                   : std::int64_t(fileTime / kFileTimeUnitsPerMs) - kFileTimeOriginToUnixMs;
    return storableDateRefusal(utcMs, what);
}

Result<FileTime> storableFileTime(std::int64_t utcMs, std::string_view what)
{
    if (Failure refused = storableDateRefusal(utcMs, what); refused.failed()) return refused;
    return FileTime(utcMs + kFileTimeOriginToUnixMs) * kFileTimeUnitsPerMs;
}

Result<std::int64_t> storableInstantOfLocal(DateTime localValue, std::string_view what)
{
    const std::optional<std::int64_t> utcMs = localToUtcEpochMs(localValue);
    if (Failure refused = storableDateRefusal(utcMs.value_or(kEndOfStorableUtcMs), what); refused.failed()) return refused;
    return *utcMs;
}

}  // namespace quorvane::convert
