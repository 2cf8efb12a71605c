// SPDX-License-Identifier: Apache-2.0
#include "document/ppt_rows.h"

#include <array>

#include "base/text_trim.h"
#include "convert/date_time.h"
#include "convert/storable_date.h"

namespace quorvane::document {

int pptSelectorOfRow(int row)
{
    return props::isDurationRow(row) ? props::kSummaryInformation : props::catalogueRow(row).selector;
}

props::RowTexts pptRowTexts(const std::optional<propset::PropertySetContent>& summary,
                            const std::optional<propset::PropertySetContent>& documentSummary)
{
    props::RowTexts texts;
    for (int row = 0; row < props::kRowCount; ++row) {
        const auto& set = pptSelectorOfRow(row) == props::kSummaryInformation ? summary : documentSummary;
        const auto value = set ? set->property(props::catalogueRow(row).propertyId) : std::nullopt;
        if (!value) continue;
        texts[std::size_t(row)] = props::isDurationRow(row) ? propset::EditTimeValueToText(*value)
                                                            : propset::PropertyValueToText(*value);
    }
    return texts;
}

Result<propset::PropertyWrite> pptRowWrite(int row, const props::RowValue& value)
{
    using Kind = props::RowValue::Kind;
    using WriteKind = propset::PropertyWrite::Kind;
    const props::PropertyRow& entry = props::catalogueRow(row);
    propset::PropertyWrite write{entry.propertyId, entry.valueType, WriteKind::Text, {}};
    write.label = entry.label;
    switch (value.kind) {
    case Kind::Keep:
    case Kind::Text: write.text = std::string(trimBlanksAndControls(value.text)); break;
    case Kind::Minutes:
        write.kind = WriteKind::Filetime;
        write.filetime = std::uint64_t(value.minutes * convert::kFileTimeUnitsPerMinute);
        break;
    case Kind::Instant: {
        const auto filetime = convert::storableFileTime(value.utcMs, entry.label);
        if (!filetime.ok()) return filetime.failure();
        write.kind = WriteKind::Filetime;
        write.filetime = *filetime;
        break;
    }
    case Kind::Clear:
        if (props::isTextRow(row) || row == props::kRevisionNumberRow) break;  // an empty text
        write.kind = row == props::kLastPrintedRow || props::isDurationRow(row) ? WriteKind::Remove : WriteKind::Null;
        break;
    }
    return write;
}

Result<props::RowTexts> readPptRows(const std::string& path)
{
    const std::array<props::Fmtid, 2> fmtids{props::fmtidOfSelector(props::kSummaryInformation),
                                             props::fmtidOfSelector(props::kDocumentSummaryInformation)};
    const auto sets = propset::readPropertySets(path, fmtids);
    if (!sets.ok()) return sets.failure();
    return pptRowTexts((*sets)[0], (*sets)[1]);
}

}  // namespace quorvane::document
