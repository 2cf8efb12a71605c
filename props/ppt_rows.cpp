#include "props/ppt_rows.h"

#include "props/property_set_access.h"
#include "props/text_trim.h"

namespace quorvane::props {

std::string readPptRow(const std::string& path, int row)
{
    if (isDurationRow(row))
        return ReadEditTimeProperty(path, fmtidOfSelector(kSummaryInformation), catalogueRow(row).propertyId);
    const PropertyRow& entry = catalogueRow(row);
    return ReadDocProperty(path, fmtidOfSelector(entry.selector), entry.propertyId);
}

RowTexts readPptRows(const std::string& path)
{
    RowTexts texts;
    for (int row = 0; row < kRowCount; ++row) texts[std::size_t(row)] = readPptRow(path, row);
    return texts;
}

bool writePptRow(const std::string& path, int row, std::string_view text)
{
    const PropertyRow& entry = catalogueRow(row);
    const std::string value(trimBlanksAndControls(text));
    if (isDurationRow(row))
        return WriteEditTimeProperty(path, fmtidOfSelector(kSummaryInformation), entry.propertyId, value, kVtFiletime);
    return WriteDocProperty(path, fmtidOfSelector(entry.selector), entry.propertyId, value, entry.valueType);
}

bool writePptRows(const std::string& path, const RowChanges& changes)
{
    for (int row = 0; row < kRowCount; ++row) {
        const auto& change = changes[std::size_t(row)];
        if (change && !writePptRow(path, row, *change)) return false;
    }
    return true;
}

}  // namespace quorvane::props
