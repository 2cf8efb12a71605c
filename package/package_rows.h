// SPDX-License-Identifier: Apache-2.0
// The order in which each part of a package reads and writes its rows.
#pragma once

#include <array>

#include "props/catalogue.h"

namespace quorvane::package {

// Rows of the extended-properties part in lookup order: Manager, Company, TotalTime.
inline constexpr std::array<int, 3> kExtendedPartRows{8, 9, 12};
// Rows of the core-properties part in lookup order: title, subject, creator, keywords,
// description, lastModifiedBy, revision, created, modified, category, lastPrinted.
inline constexpr std::array<int, 11> kCorePartRows{0, 1, 2, 3, 4, 7, 6, 10, 11, 5, 13};

}  // namespace quorvane::package
