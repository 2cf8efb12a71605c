// SPDX-License-Identifier: Apache-2.0
#include "package/package_edit.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <vector>

#include "convert/storable_date.h"
#include "convert/w3c_date_time.h"
#include "package/content_types.h"
#include "package/custom_part.h"
#include "package/custom_part_write.h"
#include "package/new_part.h"
#include "package/package_element.h"
#include "package/package_parts.h"
#include "package/package_relationships.h"
#include "package/package_rows.h"
#include "package/part_text.h"
#include "zip/zip_entry_extract.h"
#include "zip/zip_rewrite.h"

namespace quorvane::package {
namespace {

constexpr std::string_view kThumbnailType =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/thumbnail";

Failure partMissing(const std::string& what) { return {FailureKind::NotFound, "package part missing: " + what}; }

// The element text a row's value writes, or nullopt when its element is left as it is; the
// failure when the part cannot hold it.
Result<std::optional<std::string>> elementValue(int row, const props::RowValue& value)
{
    using Kind = props::RowValue::Kind;
    const std::string_view label = props::catalogueRow(row).label;
    switch (value.kind) {
    case Kind::Keep: return std::optional<std::string>();
    case Kind::Clear:
        // A package may not hold an empty creation or modification date.
        if (row == props::kCreatedRow || row == props::kLastSavedRow) return std::optional<std::string>();
        return std::optional<std::string>("");
    case Kind::Minutes: return std::optional(std::to_string(value.minutes));
    case Kind::Instant: {
        if (Failure refused = convert::storableDateRefusal(value.utcMs, label); refused.failed()) return refused;
        return std::optional(convert::utcMsToW3cText(value.utcMs));
    }
    case Kind::Text:
        if (Failure refused = checkPartText(value.text, label); refused.failed()) return refused;
        return std::optional(value.text);
    }
    return std::optional<std::string>();
}

// The rows of `rows` that live in `part`, written into it.
template <std::size_t N>
Failure setPartRows(ParsedPart& part, const std::array<int, N>& rows, const props::RowValues& values, bool& changed)
{
    for (const int row : rows) {
        const auto text = elementValue(row, values[std::size_t(row)]);
        if (!text.ok()) return text.failure();
        if (!*text) continue;
        // The elements found once: whether every copy holds the text already, then set.
        const std::string_view name = props::catalogueRow(row).elementName;
        const std::vector<pugi::xml_node> elements = findChildElements(part, name);
        bool holdsText = !elements.empty();
        for (const pugi::xml_node element : elements) {
            const auto before = elementText(part, element);
            if (!before.ok()) return before.failure();
            holdsText = holdsText && *before == **text;
        }
        if (holdsText) continue;
        // An empty text says the property has no value; an absent element has none already.
        if (elements.empty() && (*text)->empty()) continue;
        if (Failure refused = setElementsText(part, elements, name, **text); refused.failed()) return refused;
        changed = true;
    }
    return {};
}

// The bytes of `part` to store back, or checkPartBounds' failure when they would pass the
// bounds a read applies.
Result<std::vector<std::byte>> bytesToStore(const ParsedPart& part)
{
    std::vector<std::byte> bytes = savePart(part);
    if (Failure refused = checkPartBounds(part.name, bytes); refused.failed()) return refused;
    return bytes;
}

}  // namespace

Result<PackageEdit> PackageEdit::open(const std::string& givenPath, bool forChange, const FinalMetadata* finalMetadata)
{
    auto opened = openFileForEdit(givenPath, forChange, finalMetadata);
    if (!opened.ok()) return opened.failure();
    return ofFile(std::move(opened).value());
}

Result<PackageEdit> PackageEdit::ofFile(EditedFile opened)
{
    auto file = std::make_unique<PosixFile>(std::move(opened.file));
    auto directory = zip::readArchiveDirectory(*file);
    if (!directory.ok()) return directory.failure();
    return PackageEdit(std::move(opened.path), std::move(file), unsigned(opened.info.st_mode & 07777),
                       std::move(directory).value());
}

Result<PackageEdit::LoadedPart*> PackageEdit::part(const std::string& entryName)
{
    if (const auto found = parts_.find(entryName); found != parts_.end()) return &found->second;
    auto parsed = readBoundedPart(*file_, directory_, entryName);
    if (!parsed.ok()) return parsed.failure();
    // readBoundedPart found exactly one entry of that name.
    LoadedPart loaded{zip::findEntry(directory_, entryName), std::move(parsed).value()};
    return &parts_.emplace(entryName, std::move(loaded)).first->second;
}

Result<PackageEdit::LoadedPart*> PackageEdit::relationships()
{
    if (!findRelationshipsEntry(directory_)) return partMissing(partNameForPeople(kRelationshipsEntryName));
    return part(kRelationshipsEntryName);
}

void PackageEdit::markChanged(LoadedPart* changedPart)
{
    if (std::find(changedParts_.begin(), changedParts_.end(), changedPart) == changedParts_.end())
        changedParts_.push_back(changedPart);
}

Result<PackageEdit::LoadedPart> PackageEdit::newPart(const NewPartKind& kind) const
{
    auto made = parseWellFormedPart(newPartEntryName(directory_, kind), std::as_bytes(std::span(kind.content)));
    if (!made.ok()) return made.failure();
    return LoadedPart{std::nullopt, std::move(made).value()};
}

Failure PackageEdit::addPart(LoadedPart made, const NewPartKind& kind)
{
    auto rels = relationships();
    if (!rels.ok()) return rels.failure();
    if (Failure refused = checkRewritable((*rels)->part); refused.failed()) return refused;
    auto contentTypes = part(kContentTypesEntryName);
    if (!contentTypes.ok()) return contentTypes.failure();
    if (Failure refused = checkRewritable((*contentTypes)->part); refused.failed()) return refused;
    appendRelationship((*rels)->part, kind.relationshipType, made.part.name);
    markChanged(*rels);
    if (addOverride((*contentTypes)->part, made.part.name, kind.contentType)) markChanged(*contentTypes);
    const std::string entryName = asEntryName(made.part.name);  // as the relationship now names it
    markChanged(&parts_.insert_or_assign(entryName, std::move(made)).first->second);
    return {};
}

Result<PackageEdit::PropertyParts> PackageEdit::propertyParts()
{
    auto rels = relationships();
    if (!rels.ok()) return rels.failure();
    const RelationshipTargets targets = relationshipTargetsOf((*rels)->part);
    const auto partOrNone = [this](const std::string& target) -> Result<LoadedPart*> {
        if (target.empty()) return static_cast<LoadedPart*>(nullptr);
        return part(target);
    };
    auto extended = partOrNone(targets.extended);
    if (!extended.ok()) return extended.failure();
    auto core = partOrNone(targets.core);
    if (!core.ok()) return core.failure();
    return PropertyParts{*extended, *core};
}

Result<props::RowTexts> PackageEdit::rows()
{
    auto parts = propertyParts();
    if (!parts.ok()) return parts.failure();
    props::RowTexts texts;
    const auto read = [&texts](const ParsedPart& part, int row) -> Failure {
        auto text = readChildElementText(part, props::catalogueRow(row).elementName);
        if (!text.ok()) return text.failure();
        texts[std::size_t(row)] = std::move(text).value();
        return {};
    };
    for (const int row : kExtendedPartRows)
        if (parts->extended)
            if (Failure failure = read(parts->extended->part, row); failure.failed()) return failure;
    for (const int row : kCorePartRows)
        if (parts->core)
            if (Failure failure = read(parts->core->part, row); failure.failed()) return failure;
    for (const int row : {props::kCreatedRow, props::kLastSavedRow, props::kLastPrintedRow})
        texts[std::size_t(row)] = convert::W3cDateTimeToDisplayText(texts[std::size_t(row)]);
    return texts;
}

Result<std::optional<std::string>> PackageEdit::customEntryName()
{
    auto rels = relationships();
    if (!rels.ok()) return rels.failure();
    const auto found = customPropertiesRelationships((*rels)->part);
    if (found.empty()) return std::optional<std::string>();
    return std::optional(targetEntryName(found.front()));
}

Result<std::vector<props::CustomProperty>> PackageEdit::customProperties()
{
    auto name = customEntryName();
    if (!name.ok()) return name.failure();
    if (!*name || (*name)->empty()) return std::vector<props::CustomProperty>{};
    auto custom = part(**name);
    if (!custom.ok()) return custom.failure();
    return customPropertiesOfPart((*custom)->part);
}

Result<bool> PackageEdit::hasThumbnail()
{
    auto rels = relationships();
    if (!rels.ok()) return rels.failure();
    return !relationshipsOfType((*rels)->part, {kThumbnailType}).empty();
}

Failure PackageEdit::setRows(const props::RowValues& values)
{
    if (std::all_of(values.begin(), values.end(), [](const props::RowValue& value) { return value.keeps(); })) return {};
    auto parts = propertyParts();
    if (!parts.ok()) return parts.failure();
    LoadedPart* extended = parts->extended;
    LoadedPart* core = parts->core;
    if (extended && extended == core)
        return Failure(FailureKind::Damaged,
                       "damaged package: both property relationships name " + partNameForPeople(core->part.name));
    for (const LoadedPart* loaded : {extended, core})
        if (loaded)
            if (Failure refused = checkRewritable(loaded->part); refused.failed()) return refused;
    // A part the package lacks is made, and added, only when a value goes into it.
    const auto setRowsOf = [&](LoadedPart* loaded, const NewPartKind& kind, const auto& rows) -> Failure {
        std::optional<LoadedPart> made;
        if (!loaded) {
            auto fresh = newPart(kind);
            if (!fresh.ok()) return fresh.failure();
            loaded = &made.emplace(std::move(fresh).value());
        }
        bool changed = false;
        if (Failure refused = setPartRows(loaded->part, rows, values, changed); refused.failed()) return refused;
        if (!changed) return {};
        if (made) return addPart(std::move(*made), kind);
        markChanged(loaded);
        return {};
    };
    if (Failure refused = setRowsOf(extended, kNewExtendedPart, kExtendedPartRows); refused.failed()) return refused;
    return setRowsOf(core, kNewCorePart, kCorePartRows);
}

Failure PackageEdit::editCustomProperties(std::span<const props::CustomEdit> edits)
{
    if (edits.empty()) return {};
    auto rels = relationships();
    if (!rels.ok()) return rels.failure();
    if (Failure refused = checkRewritable((*rels)->part); refused.failed()) return refused;
    auto name = customEntryName();
    if (!name.ok()) return name.failure();
    LoadedPart* custom = nullptr;
    if (*name && !(*name)->empty()) {
        auto existing = part(**name);
        if (!existing.ok()) return existing.failure();
        if (Failure refused = checkRewritable((*existing)->part); refused.failed()) return refused;
        custom = *existing;
    } else {
        auto made = newPart(kNewCustomPart);
        if (!made.ok()) return made.failure();
        // Applied to a part not yet added: a refused edit leaves no new part behind.
        auto changed = applyCustomEdits(made->part, edits);
        if (!changed.ok()) return changed.failure();
        if (!holdsCustomProperties(made->part)) return {};
        return addPart(std::move(made).value(), kNewCustomPart);
    }
    auto changed = applyCustomEdits(custom->part, edits);
    if (!changed.ok()) return changed.failure();
    if (!*changed) return {};
    if (holdsCustomProperties(custom->part)) {
        markChanged(custom);
        return {};
    }
    // A part left without properties goes, with its relationship and its Override.
    auto contentTypes = part(kContentTypesEntryName);
    if (!contentTypes.ok()) return contentTypes.failure();
    if (Failure refused = checkRewritable((*contentTypes)->part); refused.failed()) return refused;
    const std::string entryName = partNameForPeople(custom->part.name);
    std::erase(changedParts_, custom);
    if (custom->entryIndex)
        removals_.push_back(*custom->entryIndex);
    else
        std::erase_if(parts_, [custom](const auto& held) { return &held.second == custom; });
    for (const pugi::xml_node relationship : customPropertiesRelationships((*rels)->part))
        if (zip::sameEntryName(targetEntryName(relationship), entryName)) (*rels)->part.root().remove_child(relationship);
    markChanged(*rels);
    if (removeOverride((*contentTypes)->part, entryName)) markChanged(*contentTypes);
    return {};
}

Failure PackageEdit::removeThumbnail()
{
    auto rels = relationships();
    if (!rels.ok()) return rels.failure();
    ParsedPart& relationshipsPart = (*rels)->part;
    const auto thumbnails = relationshipsOfType(relationshipsPart, {kThumbnailType});
    if (thumbnails.empty()) return {};
    if (Failure refused = checkRewritable(relationshipsPart); refused.failed()) return refused;
    auto contentTypes = part(kContentTypesEntryName);
    if (!contentTypes.ok()) return contentTypes.failure();
    if (Failure refused = checkRewritable((*contentTypes)->part); refused.failed()) return refused;
    std::vector<std::size_t> thumbnailEntries;
    for (const pugi::xml_node relationship : thumbnails) {
        if (isExternalRelationship(relationship)) continue;
        const std::string entryName = targetEntryName(relationship);
        const auto index = partEntry(directory_, entryName);
        if (!index.ok()) return index.failure();
        thumbnailEntries.push_back(*index);
    }
    for (const pugi::xml_node relationship : thumbnails) {
        if (!isExternalRelationship(relationship) &&
            removeOverride((*contentTypes)->part, targetEntryName(relationship)))
            markChanged(*contentTypes);
        relationshipsPart.root().remove_child(relationship);
    }
    for (const std::size_t index : thumbnailEntries)
        if (std::find(removals_.begin(), removals_.end(), index) == removals_.end()) removals_.push_back(index);
    markChanged(*rels);
    return {};
}

Failure PackageEdit::commit(const FinalMetadata* finalMetadata, const TargetWrapper& wrapTarget)
{
    if (!changed()) return {};
    std::deque<std::vector<std::byte>> bytes;  // a deque keeps them in place as it grows
    std::vector<zip::EntryReplacement> replacements;
    std::vector<zip::EntryAddition> additions;
    for (const LoadedPart* changedPart : changedParts_) {
        auto stored = bytesToStore(changedPart->part);
        if (!stored.ok()) return stored.failure();
        const std::vector<std::byte>& held = bytes.emplace_back(std::move(stored).value());
        if (changedPart->entryIndex)
            replacements.push_back({*changedPart->entryIndex, held});
        else
            additions.push_back({changedPart->part.name, held});
    }
    const zip::ArchiveEdits edits{replacements, removals_, additions};
    return zip::editArchive(path_, *file_, directory_, edits, permissionBits_, finalMetadata, wrapTarget);
}

}  // namespace quorvane::package
