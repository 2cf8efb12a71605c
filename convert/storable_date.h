// SPDX-License-Identifier: Apache-2.0
// The one bound of every date the program stores as a FILETIME or beside one: the dates of
// document properties in both formats (the date rows and custom dates) and a file's times.
// FILETIME 0, 1601-01-01 00:00:00 UTC, is what readers (and our display) take for "no date", and
// so is a FILETIME from the year 10000 on, which no display text shows. A date is therefore
// storable from 1601-01-01 00:00:01 UTC, the first whole second after FILETIME 0, through
// 9999-12-31 23:59:59.999 UTC: an instant, the same bound in every time zone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "convert/date_time.h"

namespace quorvane::convert {

// 1601-01-01 00:00:01 UTC and 10000-01-01 00:00:00 UTC, in milliseconds since 1970-01-01 UTC.
inline constexpr std::int64_t kFirstStorableUtcMs = -11'644'473'599'000;
inline constexpr std::int64_t kEndOfStorableUtcMs = 253'402'300'800'000;

// Failure{} when the instant `utcMs` (milliseconds since 1970-01-01 00:00 UTC) is storable;
// otherwise Conversion: "<what> cannot be stored: a date must lie from 1601-01-01 00:00:01 to
// 9999-12-31 23:59:59 UTC".
Failure storableDateRefusal(std::int64_t utcMs, std::string_view what);

// The same for an instant given as a FILETIME.
Failure storableFileTimeRefusal(FileTime fileTime, std::string_view what);

// The FILETIME of a storable instant `utcMs`, or storableDateRefusal's failure.
Result<FileTime> storableFileTime(std::int64_t utcMs, std::string_view what);

// The UTC instant (milliseconds since 1970-01-01 00:00 UTC) of the local date-time `localValue`
// when it is storable, or storableDateRefusal's failure (also for a value no instant has).
Result<std::int64_t> storableInstantOfLocal(DateTime localValue, std::string_view what);

}  // namespace quorvane::convert
