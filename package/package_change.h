// A package opened for a change, as every package writer opens it: the file a symbolic link
// names, under an exclusive lock, refused when read-only or replaced by another writer meanwhile,
// its central directory read; and the parts a change stores back, bounded and checked as the
// readers would check them. The change is committed in one rewrite of the archive (zip_rewrite.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/random_access_file.h"
#include "base/temp_file.h"
#include "package/package_xml.h"
#include "zip/zip_central_dir.h"
#include "zip/zip_rewrite.h"

namespace quorvane::package {

struct PackageChange {
    std::string path;  // the file a symbolic link names
    PosixFile file;    // open for writing, locked exclusively, until the change is dropped
    unsigned permissionBits = 0;
    zip::ZipDirectory directory;
};

// The package at `givenPath` opened for a change. Failures: the system's for resolving the path
// or its stat ("no such file", ...), openForChange's ("in use by another program", "not a
// regular file", "permission denied", ...), "read-only" (no write bit for anyone and no change
// scope open for it, change_scope.h), "in use by another program" when another writer renamed a
// new archive over the name between our open and our lock, and zip::readArchiveDirectory's.
Result<PackageChange> openPackageForChange(const std::string& givenPath);

struct EditablePart {
    std::size_t entryIndex = 0;  // into ZipDirectory::entries
    ParsedPart part;
};

// The part held by entry `name` ("_rels\\.rels"), read as readBoundedPart reads it and refused
// when it declares a document type (checkRewritable), with their failures.
Result<EditablePart> readEditablePart(PackageChange& change, const std::string& name);

// The bytes of `part` to store back (savePart), or checkPartBounds' failure when they would
// pass the bounds a read applies.
Result<std::vector<std::byte>> bytesToStore(const ParsedPart& part);

// Commits `edits` in one rewrite of the archive (zip::editArchive): Failure{} when the new archive
// is in place, else its failure with the file as it was. `wrapTarget` is for fault tests.
Failure commitPackageChange(PackageChange& change, const zip::ArchiveEdits& edits,
                            const TargetWrapper& wrapTarget = {});

}  // namespace quorvane::package
