// The 14 property rows as a package exchanges them: one text per row (empty = no value), which
// rows a write takes, and the order in which each part's elements are read and written.
#pragma once

#include <array>
#include <string>

#include "props/catalogue.h"

namespace quorvane::props {

using RowTexts = std::array<std::string, kRowCount>;
using RowSelection = std::array<bool, kRowCount>;

// Rows of the extended-properties part in lookup order: Manager, Company, TotalTime.
inline constexpr std::array<int, 3> kExtendedPartRows{8, 9, 12};
// Rows of the core-properties part in lookup order: title, subject, creator, keywords,
// description, lastModifiedBy, revision, created, modified, category, lastPrinted.
inline constexpr std::array<int, 11> kCorePartRows{0, 1, 2, 3, 4, 7, 6, 10, 11, 5, 13};

// Every row selected, as a single change writes them.
inline constexpr RowSelection kAllRows{true, true, true, true, true, true, true,
                                       true, true, true, true, true, true, true};

}  // namespace quorvane::props
