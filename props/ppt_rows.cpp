#include "props/ppt_rows.h"

#include <optional>
#include <vector>

#include "props/display_text.h"
#include "props/error.h"
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
    // The writes of each set (by selector), in catalogue order, up to the first row whose text is
    // no date.
    std::array<std::vector<PropertyWrite>, kThirdPropertySet> writesOfSet;
    std::optional<Error> dateError;
    for (int row = 0; row < kRowCount && !dateError; ++row) {
        const auto& change = changes[std::size_t(row)];
        if (!change) continue;
        const PropertyRow& entry = catalogueRow(row);
        std::string value(trimBlanksAndControls(*change));
        if (isDateTimeRow(row) && !value.empty()) {
            try {
                DisplayTextToDateTime(value);
            } catch (const Error& error) {
                dateError = error;
                break;
            }
        }
        const FiletimeMeaning meaning = isDurationRow(row) ? FiletimeMeaning::Span : FiletimeMeaning::Instant;
        // The editing time lives in SummaryInformation whatever its row's selector says.
        const int selector = isDurationRow(row) ? kSummaryInformation : entry.selector;
        writesOfSet[std::size_t(selector - 1)].push_back({entry.propertyId, std::move(value), entry.valueType, meaning});
    }
    for (int selector = kSummaryInformation; selector <= kThirdPropertySet; ++selector) {
        const auto& writes = writesOfSet[std::size_t(selector - 1)];
        if (!writes.empty() && !WriteDocProperties(path, fmtidOfSelector(selector), writes)) return false;
    }
    if (dateError) throw *dateError;
    return true;
}

}  // namespace quorvane::props
