// SPDX-License-Identifier: Apache-2.0
#include "propset/thumbnail_property.h"

#include <algorithm>

namespace quorvane::propset {
namespace {

constexpr std::uint32_t kPidsiThumbnail = 0x11;
constexpr std::uint16_t kVtCf = 71;  // clipboard data ([MS-OLEPS] 2.15, 2.11)

}  // namespace

PropertyWrite thumbnailRemoval() { return {kPidsiThumbnail, kVtCf, PropertyWrite::Kind::Remove, {}}; }

bool holdsThumbnail(const PropertySetContent& summary)
{
    const auto& entries = summary.firstSection.entries;
    return std::any_of(entries.begin(), entries.end(), [](const auto& entry) { return entry.id == kPidsiThumbnail; });
}

}  // namespace quorvane::propset
