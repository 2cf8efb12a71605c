// SPDX-License-Identifier: Apache-2.0
// Scoped settings of the time zone and of LC_TIME for tests of locale- and zone-dependent
// conversions. Each restores what was there before when it goes out of scope.
#pragma once

#include <locale.h>
#include <stdlib.h>
#include <time.h>

#include <optional>
#include <string>

namespace quorvane::testing {

class TimeZoneGuard {
public:
    explicit TimeZoneGuard(const char* zone)
    {
        if (const char* previous = getenv("TZ")) previous_ = previous;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZoneGuard()
    {
        if (previous_) setenv("TZ", previous_->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    TimeZoneGuard(const TimeZoneGuard&) = delete;
    TimeZoneGuard& operator=(const TimeZoneGuard&) = delete;

private:
    std::optional<std::string> previous_;
};

// Makes `localeName` the calling thread's LC_TIME; ok() is false when the locale is not installed.
class TimeLocaleGuard {
public:
    explicit TimeLocaleGuard(const char* localeName)
    {
        locale_t base = duplocale(LC_GLOBAL_LOCALE);
        locale_ = newlocale(LC_TIME_MASK, localeName, base);
        if (!locale_) {
            freelocale(base);  // newlocale leaves its base alone when it fails
            return;
        }
        previous_ = uselocale(locale_);
    }
    ~TimeLocaleGuard()
    {
        if (!locale_) return;
        uselocale(previous_);
        freelocale(locale_);
    }
    TimeLocaleGuard(const TimeLocaleGuard&) = delete;
    TimeLocaleGuard& operator=(const TimeLocaleGuard&) = delete;

    bool ok() const { return locale_ != nullptr; }

private:
    locale_t locale_ = nullptr;
    locale_t previous_ = LC_GLOBAL_LOCALE;
};

}  // namespace quorvane::testing
