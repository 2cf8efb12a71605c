// SPDX-License-Identifier: Apache-2.0
// Hand-made .pptx packages for tests: the usual parts, with each part replaceable so that a test
// can build the shapes the corpus lacks (default namespace, other prefixes, missing elements,
// parts or relationships, damaged parts).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/zip_builder.h"

namespace quorvane::testing {

inline constexpr const char* kCoreType =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
inline constexpr const char* kExtendedType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";

// A relationships part with an officeDocument relationship and, where a type is not empty, the
// core- and extended-properties relationships to the given targets.
std::string relationshipsPart(const std::string& coreTarget = "docProps/core.xml",
                              const std::string& extendedTarget = "docProps/app.xml",
                              const std::string& coreType = kCoreType, const std::string& extendedType = kExtendedType);

// A core part with the usual prefixes and the given children (XML text), e.g.
// corePart("<dc:title>Quarterly</dc:title>").
std::string corePart(const std::string& children);
// The same children under a root that binds the core namespace as its default namespace, as
// .NET and POI write it ("<category>" rather than "<cp:category>"), without a cp prefix.
std::string defaultNamespaceCorePart(const std::string& children);
// An extended part in its default namespace with the given children.
std::string extendedPart(const std::string& children);

// Every element of both parts with a value (for reads and writes of all 14 rows).
std::string fullCoreChildren();
std::string fullExtendedChildren();

// The entries of a package: content types, relationships, both property parts (docProps/...),
// and a presentation part and a slide (the slide with a data descriptor, as streaming writers
// make it). A part passed empty is still stored, as an empty entry.
std::vector<ZipBuilderEntry> packageEntries(const std::string& relationships, const std::string& extended,
                                            const std::string& core);

// A whole package built from packageEntries().
std::string packageBytes(const std::string& relationships, const std::string& extended, const std::string& core,
                         const ZipBuildOptions& options = {});

// The text of the entry `entryName` ("_rels/.rels") of the package file at `path`, read by our
// ZIP reader; "" when it is missing or unreadable.
std::string partTextOf(const std::filesystem::path& path, const std::string& entryName);

}  // namespace quorvane::testing
