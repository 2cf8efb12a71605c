#include "package/package_writer.h"

#include <optional>

#include "package/package_change.h"
#include "package/package_element.h"
#include "package/package_parts.h"
#include "package/part_text.h"
#include "base/text_trim.h"
#include "convert/w3c_date_time.h"
#include "zip/zip_central_dir.h"

namespace quorvane::package {
namespace {

// The text written for `row`, or nullopt when its element is to be left as it is.
std::optional<std::string> elementValue(int row, const std::string& text)
{
    switch (row) {
    case props::kCreatedRow:
    case props::kLastSavedRow: {
        std::string w3c = convert::DisplayTextToW3cDateTime(text);
        if (w3c.empty()) return std::nullopt;
        return w3c;
    }
    case props::kLastPrintedRow: {
        const std::string blankless(trimBlanksAndControls(text));
        return blankless.empty() ? blankless : convert::DisplayTextToW3cDateTime(blankless);
    }
    default:
        return text;
    }
}

// Failure{} when every selected row is written; else why the first value that a part cannot hold
// is refused (the part may then hold some rows already, but it is not stored).
template <std::size_t N>
Failure writeRows(ParsedPart& part, const std::array<int, N>& rows, const props::RowTexts& texts,
                  const props::RowSelection& selected)
{
    for (const int row : rows) {
        if (!selected[row]) continue;
        const auto value = elementValue(row, texts[row]);
        if (!value) continue;
        const std::string_view label = props::catalogueRow(row).label;
        const Failure refused = props::isDateTimeRow(row) && !value->empty() ? checkW3cYear(*value, label)
                                                                            : checkPartText(*value, label);
        if (refused.failed()) return refused;
        SetChildElementText(part, props::catalogueRow(row).elementName, *value);
    }
    return {};
}

// A write whose new parts are made, the package still open and locked, nothing written yet.
struct PreparedWrite {
    PackageChange change;
    std::size_t extendedIndex = 0;
    std::size_t coreIndex = 0;
    std::vector<std::byte> extendedBytes;
    std::vector<std::byte> coreBytes;
};

Result<PreparedWrite> prepareWrite(const std::string& givenPath, const props::RowTexts& texts,
                                   const props::RowSelection& selected, MalformedXml onMalformedXml)
{
    auto opened = openPackageForChange(givenPath);
    if (!opened.ok()) return opened.failure();
    PackageChange& change = opened.value();
    auto parts = loadPropertyParts(change.file, change.directory, onMalformedXml);
    if (!parts.ok()) return parts.failure();
    PropertyParts& both = parts.value();
    if (both.extended.entryIndex == both.core.entryIndex)
        return Failure(FailureKind::Damaged,
                       "damaged package: both property relationships name " + partNameForPeople(both.core.part.name));

    for (const ParsedPart* part : {&both.extended.part, &both.core.part})
        if (Failure refused = checkRewritable(*part); refused.failed()) return refused;
    if (Failure refused = writeRows(both.extended.part, kExtendedPartRows, texts, selected); refused.failed())
        return refused;
    if (Failure refused = writeRows(both.core.part, kCorePartRows, texts, selected); refused.failed())
        return refused;
    auto extendedBytes = bytesToStore(both.extended.part);
    if (!extendedBytes.ok()) return extendedBytes.failure();
    auto coreBytes = bytesToStore(both.core.part);
    if (!coreBytes.ok()) return coreBytes.failure();
    return PreparedWrite{std::move(opened).value(), both.extended.entryIndex, both.core.entryIndex,
                         std::move(extendedBytes).value(), std::move(coreBytes).value()};
}

}  // namespace

Failure writePackageRows(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected,
                         const TargetWrapper& wrapTarget)
{
    auto prepared = prepareWrite(path, texts, selected, MalformedXml::Fail);
    if (!prepared.ok()) return prepared.failure();
    PreparedWrite& write = prepared.value();
    const zip::EntryReplacement replacements[] = {{write.extendedIndex, write.extendedBytes},
                                                  {write.coreIndex, write.coreBytes}};
    return commitPackageChange(write.change, {.replacements = replacements}, wrapTarget);
}

bool WritePackageProperties(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected,
                            const TargetWrapper& wrapTarget)
{
    auto prepared = prepareWrite(path, texts, selected, MalformedXml::Throw);
    if (!prepared.ok()) return false;
    PreparedWrite& write = prepared.value();
    const zip::EntryReplacement replacements[] = {{write.extendedIndex, write.extendedBytes},
                                                  {write.coreIndex, write.coreBytes}};
    zip::ReplaceEntriesFromMemory(write.change.path, write.change.file, write.change.directory, replacements,
                                  write.change.permissionBits, wrapTarget);
    return true;
}

}  // namespace quorvane::package
