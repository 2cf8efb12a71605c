// SPDX-License-Identifier: Apache-2.0
#include "tests/support/package_builder.h"

#include "base/random_access_file.h"
#include "zip/zip_central_dir.h"
#include "zip/zip_entry_extract.h"

namespace quorvane::testing {
namespace {

constexpr const char* kDeclaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)" "\r\n";

}  // namespace

std::string relationshipsPart(const std::string& coreTarget, const std::string& extendedTarget,
                              const std::string& coreType, const std::string& extendedType)
{
    std::string xml = std::string(kDeclaration) +
                      R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    if (!extendedType.empty())
        xml += R"(<Relationship Id="rId3" Type=")" + extendedType + R"(" Target=")" + extendedTarget + R"("/>)";
    if (!coreType.empty())
        xml += R"(<Relationship Id="rId2" Type=")" + coreType + R"(" Target=")" + coreTarget + R"("/>)";
    xml += R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="ppt/presentation.xml"/>)";
    return xml + "</Relationships>";
}

std::string corePart(const std::string& children)
{
    return std::string(kDeclaration) +
           R"(<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" )"
           R"(xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" )"
           R"(xmlns:dcmitype="http://purl.org/dc/dcmitype/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">)" +
           children + "</cp:coreProperties>";
}

std::string defaultNamespaceCorePart(const std::string& children)
{
    return std::string(kDeclaration) +
           R"(<coreProperties xmlns="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" )"
           R"(xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/">)" +
           children + "</coreProperties>";
}

std::string extendedPart(const std::string& children)
{
    return std::string(kDeclaration) +
           R"(<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties" )"
           R"(xmlns:vt="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes">)"
           "<Template></Template>" + children + "<Application>Microsoft Office PowerPoint</Application></Properties>";
}

std::string fullCoreChildren()
{
    return "<dc:title>Quarterly</dc:title><dc:subject>Results</dc:subject><dc:creator>Ada</dc:creator>"
           "<cp:keywords>money, plans</cp:keywords><dc:description>  spaced  </dc:description>"
           "<cp:lastModifiedBy>Bea</cp:lastModifiedBy><cp:revision>7</cp:revision>"
           R"(<dcterms:created xsi:type="dcterms:W3CDTF">2010-03-04T05:06:07Z</dcterms:created>)"
           R"(<dcterms:modified xsi:type="dcterms:W3CDTF">2011-12-13T14:15:16Z</dcterms:modified>)"
           "<cp:category>Finance</cp:category><cp:lastPrinted>2009-01-02T03:04:05Z</cp:lastPrinted>";
}

std::string fullExtendedChildren()
{
    return "<TotalTime>125</TotalTime><Manager>Cleo</Manager><Company>Lomberk</Company>";
}

std::vector<ZipBuilderEntry> packageEntries(const std::string& relationships, const std::string& extended,
                                            const std::string& core)
{
    return {
        {.name = "[Content_Types].xml", .content = R"(<?xml version="1.0"?><Types/>)"},
        {.name = "_rels/.rels", .content = relationships},
        {.name = "docProps/app.xml", .content = extended},
        {.name = "ppt/presentation.xml", .content = "<p:presentation/>", .deflate = false},
        {.name = "docProps/core.xml", .content = core},
        {.name = "ppt/slides/slide1.xml", .content = std::string(40000, 's'), .dataDescriptor = true},
    };
}

std::string packageBytes(const std::string& relationships, const std::string& extended, const std::string& core,
                         const ZipBuildOptions& options)
{
    return buildZip(packageEntries(relationships, extended, core), options);
}

std::string partTextOf(const std::filesystem::path& path, const std::string& entryName)
{
    auto file = PosixFile::open(path, OpenMode::ReadShared);
    if (!file) return "";
    const auto directory = zip::ReadDirectory(*file);
    if (!directory) return "";
    return textOf(zip::ExtractEntryToMemory(*file, *directory, entryName));
}

}  // namespace quorvane::testing
