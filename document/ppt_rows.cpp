#include "document/ppt_rows.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "convert/display_text.h"
#include "base/error.h"
#include "propset/property_set_access.h"
#include "base/text_trim.h"

namespace quorvane::document {

std::string readPptRow(const std::string& path, int row)
{
    if (props::isDurationRow(row))
        return propset::ReadEditTimeProperty(path, props::fmtidOfSelector(props::kSummaryInformation), props::catalogueRow(row).propertyId);
    const props::PropertyRow& entry = props::catalogueRow(row);
    return propset::ReadDocProperty(path, props::fmtidOfSelector(entry.selector), entry.propertyId);
}

props::RowTexts readPptRows(const std::string& path)
{
    props::RowTexts texts;
    for (int row = 0; row < props::kRowCount; ++row) texts[std::size_t(row)] = readPptRow(path, row);
    return texts;
}

Result<props::RowTexts> readPptRowsOrFailure(const std::string& path)
{
    // The editing time lives in SummaryInformation whatever its row's selector says.
    auto selectorOf = [](int row) { return props::isDurationRow(row) ? props::kSummaryInformation : props::catalogueRow(row).selector; };
    std::vector<props::Fmtid> fmtids;
    std::array<std::size_t, props::kRowCount> setOfRow{};
    for (int row = 0; row < props::kRowCount; ++row) {
        const props::Fmtid& fmtid = props::fmtidOfSelector(selectorOf(row));
        const auto known = std::find(fmtids.begin(), fmtids.end(), fmtid);
        setOfRow[std::size_t(row)] = std::size_t(known - fmtids.begin());
        if (known == fmtids.end()) fmtids.push_back(fmtid);
    }
    const auto sets = propset::readPropertySets(path, fmtids);
    if (!sets.ok()) return sets.failure();
    props::RowTexts texts;
    for (int row = 0; row < props::kRowCount; ++row) {
        const auto& set = (*sets)[setOfRow[std::size_t(row)]];
        const auto value = set ? set->property(props::catalogueRow(row).propertyId) : std::nullopt;
        if (!value) continue;
        texts[std::size_t(row)] = props::isDurationRow(row) ? propset::EditTimeValueToText(*value) : propset::PropertyValueToText(*value);
    }
    return texts;
}

bool writePptRow(const std::string& path, int row, std::string_view text)
{
    const props::PropertyRow& entry = props::catalogueRow(row);
    const std::string value(trimBlanksAndControls(text));
    if (props::isDurationRow(row))
        return propset::WriteEditTimeProperty(path, props::fmtidOfSelector(props::kSummaryInformation), entry.propertyId, value, props::kVtFiletime);
    return propset::WriteDocProperty(path, props::fmtidOfSelector(entry.selector), entry.propertyId, value, entry.valueType);
}

Failure writePptRowsOrFailure(const std::string& path, const RowChanges& changes)
{
    // The writes of each set (by selector), in catalogue order, up to the first row whose text is
    // no date.
    std::array<std::vector<propset::PropertyWrite>, props::kThirdPropertySet> writesOfSet;
    std::optional<Error> dateError;
    for (int row = 0; row < props::kRowCount && !dateError; ++row) {
        const auto& change = changes[std::size_t(row)];
        if (!change) continue;
        const props::PropertyRow& entry = props::catalogueRow(row);
        std::string value(trimBlanksAndControls(*change));
        if (props::isDateTimeRow(row) && !value.empty()) {
            try {
                convert::DisplayTextToDateTime(value);
            } catch (const Error& error) {
                dateError = error;
                break;
            }
        }
        const propset::FiletimeMeaning meaning = props::isDurationRow(row) ? propset::FiletimeMeaning::Span : propset::FiletimeMeaning::Instant;
        // The editing time lives in SummaryInformation whatever its row's selector says.
        const int selector = props::isDurationRow(row) ? props::kSummaryInformation : entry.selector;
        writesOfSet[std::size_t(selector - 1)].push_back({entry.propertyId, std::move(value), entry.valueType, meaning});
    }
    for (int selector = props::kSummaryInformation; selector <= props::kThirdPropertySet; ++selector) {
        const auto& writes = writesOfSet[std::size_t(selector - 1)];
        if (writes.empty()) continue;
        if (Failure failure = propset::writeDocPropertiesOrFailure(path, props::fmtidOfSelector(selector), writes); failure.failed())
            return failure;
    }
    if (dateError) throw *dateError;
    return {};
}

bool writePptRows(const std::string& path, const RowChanges& changes)
{
    return !writePptRowsOrFailure(path, changes).failed();
}

}  // namespace quorvane::document
