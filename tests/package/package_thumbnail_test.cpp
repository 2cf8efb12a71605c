// SPDX-License-Identifier: Apache-2.0
// Removing a package's thumbnail: the part, its relationship and its content-type override go in
// one rewrite, a Default entry by extension stays, every other entry keeps its bytes (checked by
// Python's zipfile), and a package without a thumbnail is not written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "package/package_edit.h"
#include "tests/support/corpus.h"
#include "tests/support/package_builder.h"
#include "tests/support/zip_python_check.h"

namespace quorvane::package {
namespace {

namespace fs = std::filesystem;
using namespace quorvane::testing;

// The thumbnail removed and committed through the package edit, as the change path does it.
Failure removeThumbnailOf(const fs::path& path)
{
    auto edit = PackageEdit::open(path.string(), true, nullptr);
    if (!edit.ok()) return edit.failure();
    if (Failure refused = edit->removeThumbnail(); refused.failed()) return refused;
    return edit->commit(nullptr);
}

constexpr const char* kThumbnailRelationship =
    R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/thumbnail" Target="docProps/thumbnail.jpeg"/>)";

// A built package whose thumbnail has an Override as well as the Default for its extension.
std::string packageWithOverriddenThumbnail()
{
    std::string relationships = relationshipsPart();
    relationships.insert(relationships.find("</Relationships>"), kThumbnailRelationship);
    auto entries = packageEntries(relationships, extendedPart(""), corePart(""));
    entries[0].content =
        R"(<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="jpeg" ContentType="image/jpeg"/>)"
        R"(<Override PartName="/DOCPROPS/Thumbnail.jpeg" ContentType="image/jpeg"/></Types>)";
    entries.insert(entries.begin() + 3, {.name = "docProps/thumbnail.jpeg", .content = "JFIF picture", .deflate = false});
    return buildZip(entries);
}

TEST(PackageThumbnail, RemovesPartRelationshipAndOverrideKeepingEveryOtherEntry)
{
    ScratchDir scratch;
    std::vector<RewrittenArchive> forPython;
    const auto removeFrom = [&](const fs::path& path, bool overrideRemoved) {
        const fs::path kept = path.string() + ".original";
        fs::copy_file(path, kept);
        ASSERT_EQ(removeThumbnailOf(path), Failure{}) << path;
        EXPECT_EQ(partTextOf(path, "_rels/.rels").find("thumbnail"), std::string::npos) << path;
        EXPECT_EQ(partTextOf(path, "[Content_Types].xml").find("humbnail"), std::string::npos) << path;
        EXPECT_NE(partTextOf(path, "[Content_Types].xml").find(R"(Extension="jpeg")"), std::string::npos) << path;
        std::vector<std::string> replaced{"_rels/.rels"};
        if (overrideRemoved) replaced.push_back("[Content_Types].xml");
        forPython.push_back({kept, path, replaced, {{"_rels/.rels", {"/officeDocument"}}}, {"docProps/thumbnail.jpeg"}});

        const std::string once = readFileBytes(path);
        EXPECT_EQ(removeThumbnailOf(path), Failure{}) << "none left";
        EXPECT_TRUE(readFileBytes(path) == once) << "a package without a thumbnail was written";
    };

    const fs::path built = scratch.path() / "built.pptx";
    writeFileBytes(built, packageWithOverriddenThumbnail());
    removeFrom(built, true);
    if (!corpusDir().empty()) removeFrom(scratch.copyOfCorpusFile("WithMaster.pptx"), false);

    if (!pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    EXPECT_EQ(problemsSeenByPython(fs::path(QUORVANE_SOURCE_DIR) / "tests/support/zip_compare.py", forPython), "");
}

TEST(PackageThumbnail, RefusesARelationshipToAMissingPartLeavingTheFileAlone)
{
    ScratchDir scratch;
    std::string relationships = relationshipsPart();
    relationships.insert(relationships.find("</Relationships>"), kThumbnailRelationship);
    const fs::path path = scratch.path() / "dangling.pptx";
    const std::string original = packageBytes(relationships, extendedPart(""), corePart(""));
    writeFileBytes(path, original);
    const Failure failure = removeThumbnailOf(path);
    EXPECT_EQ(failure.text(), "package part missing: docProps/thumbnail.jpeg");
    EXPECT_TRUE(readFileBytes(path) == original);
}

}  // namespace
}  // namespace quorvane::package
