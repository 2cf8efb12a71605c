// SPDX-License-Identifier: Apache-2.0
// The property parts a package edit makes when the package has none of their kind: the
// core-properties part (ECMA-376 Part 2, 11), the extended-properties part (Part 1, 22.2) and the
// custom-properties part (Part 1, 22.3). Each is named by a package relationship of its type and
// by a content-type Override, both added with it in the same rewrite.
#pragma once

#include <string>
#include <string_view>

#include "zip/zip_central_dir.h"

namespace quorvane::package {

struct NewPartKind {
    std::string_view nameStem;  // the entry name without ".xml", "/" separated: "docProps/core"
    std::string_view content;   // the part before any value goes into it
    std::string_view relationshipType;
    std::string_view contentType;
};

extern const NewPartKind kNewCorePart;
extern const NewPartKind kNewExtendedPart;
extern const NewPartKind kNewCustomPart;

// The "/" separated entry name of a new part of `kind`: "<stem>.xml", else "<stem><n>.xml" with
// n from 2 on, the first that no entry of `directory` bears (zip::sameEntryName).
std::string newPartEntryName(const zip::ZipDirectory& directory, const NewPartKind& kind);

}  // namespace quorvane::package
