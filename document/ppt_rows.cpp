#include "document/ppt_rows.h"

#include <algorithm>
#include <optional>
#include <span>
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

PptRowWrite pptRowWrite(int row, std::string_view text)
{
    const props::PropertyRow& entry = props::catalogueRow(row);
    // The editing time lives in SummaryInformation whatever its row's selector says.
    const int selector = props::isDurationRow(row) ? props::kSummaryInformation : entry.selector;
    const propset::FiletimeMeaning meaning = props::isDurationRow(row) ? propset::FiletimeMeaning::Span : propset::FiletimeMeaning::Instant;
    // An empty Last Printed or editing time means "none": the property goes, no VT_NULL is stored.
    const bool emptyRemoves = row == props::kLastPrintedRow || props::isDurationRow(row);
    return {selector, {entry.propertyId, std::string(trimBlanksAndControls(text)), entry.valueType, meaning, emptyRemoves}};
}

bool writePptRow(const std::string& path, int row, std::string_view text)
{
    RowChanges changes;
    changes[std::size_t(row)] = std::string(text);
    return writePptRows(path, changes);
}

Failure writePptRowsOrFailure(const std::string& path, const RowChanges& changes)
{
    // Each row's fate is decided before anything is written, in catalogue order: a date text that
    // is no date ends the rows (its error is thrown once the rows before it are written); then the
    // reach of each set's writes on the file as it is now finds the first row that cannot be
    // stored. Exactly the rows before the first of the two are written, one replacement per set
    // (SummaryInformation first, as the selectors order them).
    std::vector<propset::SetWrites> sets;
    std::vector<std::vector<int>> rowsOfSet;  // the row of each write of sets[i]
    std::optional<Error> dateError;
    int endRow = props::kRowCount;  // the first row not written
    for (int row = 0; row < props::kRowCount && !dateError; ++row) {
        const auto& change = changes[std::size_t(row)];
        if (!change) continue;
        PptRowWrite rowWrite = pptRowWrite(row, *change);
        if (props::isDateTimeRow(row) && !rowWrite.write.valueText.empty()) {
            try {
                convert::DisplayTextToDateTime(rowWrite.write.valueText);
            } catch (const Error& error) {
                dateError = error;
                endRow = row;
                break;
            }
        }
        const props::Fmtid& fmtid = props::fmtidOfSelector(rowWrite.selector);
        std::size_t set = 0;
        while (set < sets.size() && !(sets[set].fmtid == fmtid)) ++set;
        if (set == sets.size()) {
            // Keep the sets in selector order, whichever row comes first.
            set = rowWrite.selector == props::kSummaryInformation ? 0 : sets.size();
            sets.insert(sets.begin() + std::ptrdiff_t(set), propset::SetWrites{fmtid, {}});
            rowsOfSet.insert(rowsOfSet.begin() + std::ptrdiff_t(set), std::vector<int>{});
        }
        sets[set].writes.push_back(std::move(rowWrite.write));
        rowsOfSet[set].push_back(row);
    }

    Failure firstFailure;
    if (!sets.empty()) {
        const auto reaches = propset::reachOfWrites(path, sets);
        if (!reaches.ok()) return reaches.failure();
        for (std::size_t set = 0; set < sets.size(); ++set) {
            const propset::WritesReach& reach = (*reaches)[set];
            if (reach.failure.failed() && rowsOfSet[set][reach.applied] < endRow) {
                endRow = rowsOfSet[set][reach.applied];
                firstFailure = reach.failure;
            }
        }
    }
    // Both sets in one write sequence of the file.
    for (std::size_t set = 0; set < sets.size(); ++set) {
        const auto& rows = rowsOfSet[set];
        sets[set].writes.resize(std::size_t(std::lower_bound(rows.begin(), rows.end(), endRow) - rows.begin()));
    }
    std::erase_if(sets, [](const propset::SetWrites& set) { return set.writes.empty(); });
    if (!sets.empty())
        if (Failure failure = propset::writeDocPropertySetsOrFailure(path, sets); failure.failed()) return failure;
    if (firstFailure.failed()) return firstFailure;
    if (dateError) throw *dateError;
    return {};
}

bool writePptRows(const std::string& path, const RowChanges& changes)
{
    return !writePptRowsOrFailure(path, changes).failed();
}

}  // namespace quorvane::document
