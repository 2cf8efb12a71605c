// SPDX-License-Identifier: Apache-2.0
// The date forms of the tool's machine output, the same whatever the locale: RFC 3339 instants
// with the local offset in force at the instant ("2003-12-26T04:22:45+01:00", RFC 3339 section
// 5.6), and local date-times as "YYYY-MM-DD HH:MM:SS" (the form `quorvane-cli set` reads back).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "convert/date_time.h"

namespace quorvane::convert {

// An instant as RFC 3339 text with the local offset in force at it: the fraction of a second
// in nine digits when `nanoseconds` is not 0, none otherwise. "" for an instant whose local date
// falls outside years 1..9999.
std::string rfc3339TextOfInstant(std::int64_t utcSeconds, std::int32_t nanoseconds = 0);

// rfc3339TextOfInstant of a UTC FILETIME (its 100-ns units as nanoseconds).
std::string rfc3339TextOfFileTime(FileTime utcFileTime);

// RFC 3339 text of a local date-time value (seconds resolution), the offset being the one in
// force at its instant; "" outside years 1..9999.
std::string rfc3339TextOfLocal(DateTime localValue);

// A local date-time value as "YYYY-MM-DD HH:MM:SS" (seconds resolution); "" outside years 1..9999.
std::string isoLocalTextOf(DateTime localValue);

struct Rfc3339Instant {
    std::int64_t utcSeconds = 0;
    std::int32_t nanoseconds = 0;
    int fractionDigits = 0;  // the digits given after the seconds (0 when none)
};

// Reads the whole of `text` as an RFC 3339 date-time: "YYYY-MM-DDTHH:MM:SS", 't' or ' ' also
// taken for 'T', an optional fraction of 1 to 9 digits, then 'Z' or an offset "+HH:MM"/"-HH:MM".
// nullopt for any other text or a field out of range (years 1..9999, a real calendar day, hours
// 0..23, minutes 0..59, seconds 0..59, offsets within 23:59).
std::optional<Rfc3339Instant> readRfc3339Text(std::string_view text);

// The local date-time value of an instant, to the millisecond.
DateTime localValueOfInstant(const Rfc3339Instant& instant);

}  // namespace quorvane::convert
