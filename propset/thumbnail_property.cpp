#include "propset/thumbnail_property.h"

#include "props/catalogue.h"
#include "propset/property_set_access.h"

namespace quorvane::propset {
namespace {

constexpr std::uint32_t kPidsiThumbnail = 0x11;
constexpr std::uint16_t kVtCf = 71;  // clipboard data ([MS-OLEPS] 2.15, 2.11)

}  // namespace

Failure removeThumbnailProperty(const std::string& fileName)
{
    // An empty text with emptyRemoves takes the property out of the first section, value and
    // table entry, and writes nothing when it is absent (property_set_access.h).
    const PropertyWrite removal{kPidsiThumbnail, std::string(), kVtCf, FiletimeMeaning::Instant, true};
    return writeDocPropertiesOrFailure(fileName, props::fmtidOfSelector(props::kSummaryInformation), std::span(&removal, 1));
}

}  // namespace quorvane::propset
