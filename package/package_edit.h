// SPDX-License-Identifier: Apache-2.0
// One package opened once, read and edited in memory, and committed in one rewrite of the
// archive (zip_rewrite.h): the 14 rows in the core and extended parts, the custom part (edited
// or removed with its relationship and content-type override), the thumbnail (its part,
// relationship and override removed), and a property part the package lacks (new_part.h: made
// with its relationship and override when a value goes into it). Every part is read once,
// within the bounds of package_xml.h, and only parts that changed are stored back; every other
// entry is copied byte for byte. ECMA-376 Part 2 (Open Packaging Conventions).
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/change_scope.h"
#include "base/failure.h"
#include "base/random_access_file.h"
#include "base/temp_file.h"
#include "package/new_part.h"
#include "package/package_xml.h"
#include "props/custom_property.h"
#include "props/row_value.h"
#include "zip/zip_central_dir.h"

namespace quorvane::package {

class PackageEdit {
public:
    // Opens the package at `givenPath` as openFileForEdit does (its failures), then reads its
    // archive directory (zip::readArchiveDirectory's failures: "not a ZIP archive", ...).
    static Result<PackageEdit> open(const std::string& givenPath, bool forChange, const FinalMetadata* finalMetadata);
    // The package in a file opened so already.
    static Result<PackageEdit> ofFile(EditedFile opened);

    // The 14 row texts as the display shows them (package_reader.h), "" for each row of a
    // property part the package has no relationship to, or why the property parts cannot be
    // read ("package part missing: ...", "... not well-formed: ...", ...).
    Result<props::RowTexts> rows();
    // The custom properties in stored order; empty when the package has none.
    Result<std::vector<props::CustomProperty>> customProperties();
    // Whether the package has a thumbnail relationship.
    Result<bool> hasThumbnail();
    // The open file, for the signature check (document/signature_check.h).
    RandomAccessFile& file() { return *file_; }
    const zip::ZipDirectory& directory() const { return directory_; }

    // Edits in memory; nothing is written. Each gives the failure, with no part stored, when a
    // value cannot be held (checkPartText, convert/storable_date.h: Conversion) or a part it
    // needs cannot be read or is refused (checkRewritable).
    // The rows that do not keep their value: text as given, minutes in decimal, an instant as a
    // W3C date-time; a cleared Created or Last saved is left as it is, a cleared Last Printed or
    // Total Editing Time removed.
    Failure setRows(const props::RowValues& values);
    Failure editCustomProperties(std::span<const props::CustomEdit> edits);
    Failure removeThumbnail();

    // Whether an edit changed anything that a commit would store.
    bool changed() const { return !changedParts_.empty() || !removals_.empty(); }

    // Stores every changed part in one rewrite of the archive, the new file taking
    // `finalMetadata` (when given) before its rename. Failure{} when in place (or nothing
    // changed: nothing written); else the file as it was and why (checkPartBounds' for a part as
    // it would be stored, zip::editArchive's). Only for a package opened for a change.
    Failure commit(const FinalMetadata* finalMetadata, const TargetWrapper& wrapTarget = {});

private:
    struct LoadedPart {
        std::optional<std::size_t> entryIndex;  // none for a part the edit made (named "/" separated)
        ParsedPart part;
    };

    PackageEdit(std::string path, std::unique_ptr<PosixFile> file, unsigned permissionBits, zip::ZipDirectory directory)
        : path_(std::move(path)), file_(std::move(file)), permissionBits_(permissionBits),
          directory_(std::move(directory))
    {
    }
    struct PropertyParts {
        LoadedPart* extended;  // nullptr when the package has no relationship to the part
        LoadedPart* core;
    };
    Result<PropertyParts> propertyParts();
    // The part held by entry `entryName`, read once and kept for the edits after.
    Result<LoadedPart*> part(const std::string& entryName);
    Result<LoadedPart*> relationships();
    Result<std::optional<std::string>> customEntryName();
    // A part of `kind` with no values yet, not part of the package.
    Result<LoadedPart> newPart(const NewPartKind& kind) const;
    // Makes `made` a part of the package: a relationship of its kind from the package, an
    // Override of its content type, and an entry the commit adds. The failure, with nothing
    // changed, when the relationships or content-types part cannot be read or rewritten.
    Failure addPart(LoadedPart made, const NewPartKind& kind);
    void markChanged(LoadedPart* part);

    std::string path_;
    std::unique_ptr<PosixFile> file_;
    unsigned permissionBits_ = 0;
    zip::ZipDirectory directory_;
    std::map<std::string, LoadedPart> parts_;  // by entry name, "\" separated; new parts too
    std::vector<LoadedPart*> changedParts_;     // to store or, when new, to add
    std::vector<std::size_t> removals_;
};

}  // namespace quorvane::package
