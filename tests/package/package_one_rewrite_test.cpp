// SPDX-License-Identifier: Apache-2.0
// A whole change of a package through the change path (change/file_plan.h): rows, a custom edit
// and the thumbnail's removal land in one rewrite of the archive, renamed over the file once
// (counted with inotify); a request that changes nothing, or one with a value the package
// cannot hold, leaves the file as it was, the same file with the same bytes. A package without
// property parts reads as empty and gets the parts its values need in the same rewrite.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <regex>
#include <string>

#include "change/file_plan.h"
#include "package/new_part.h"
#include "package/package_edit.h"
#include "zip/zip_central_dir.h"
#include "zip/zip_entry_extract.h"
#include "tests/support/corpus.h"
#include "tests/support/fileinfo_fixtures.h"
#include "tests/support/package_builder.h"
#include "tests/support/zip_builder.h"
#include "tests/support/zip_python_check.h"

namespace quorvane::package {
namespace {

namespace fs = std::filesystem;
using namespace quorvane::testing;

// Counts the renames onto one name in a folder, from the moment it is made.
class RenameCounter {
public:
    RenameCounter(const fs::path& folder, std::string name)
        : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), name_(std::move(name))
    {
        if (fd_ >= 0) ::inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO);
    }
    ~RenameCounter()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    RenameCounter(const RenameCounter&) = delete;
    RenameCounter& operator=(const RenameCounter&) = delete;

    bool watching() const { return fd_ >= 0; }
    // The renames onto the name since the last call.
    int renamesSinceLastCall()
    {
        int renames = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read(fd_, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && name_ == event->name) ++renames;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return renames;
    }

private:
    int fd_;
    std::string name_;
};

// A package with a thumbnail (part, relationship and override) and no custom part.
std::string packageWithThumbnail()
{
    std::string relationships = relationshipsPart();
    relationships.insert(relationships.find("</Relationships>"),
                         R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/thumbnail" Target="docProps/thumbnail.jpeg"/>)");
    auto entries = packageEntries(relationships, extendedPart(fullExtendedChildren()), corePart(fullCoreChildren()));
    entries[0].content =
        R"(<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="xml" ContentType="application/xml"/>)"
        R"(<Override PartName="/docProps/thumbnail.jpeg" ContentType="image/jpeg"/></Types>)";
    entries.push_back({.name = "docProps/thumbnail.jpeg", .content = "JFIF picture", .deflate = false});
    return buildZip(entries);
}

change::FileRequest rowsCustomAndThumbnail(const std::string& title)
{
    change::FileRequest request;
    request.content.rows[0] = props::RowValue::textValue(title);
    request.content.rows[props::kTotalEditingTimeRow] = props::RowValue::minutesValue(30);
    props::CustomEdit memo{props::CustomEdit::Kind::Set, "Memo", {}};
    memo.value.text = "checked";
    request.content.custom.push_back(memo);
    request.content.removeThumbnail = true;
    return request;
}

TEST(PackageOneRewrite, RowsCustomEditAndThumbnailLandInOneRename)
{
    ScratchDir scratch;
    const fs::path path = scratch.path() / "deck.pptx";
    const fs::path kept = scratch.path() / "original.pptx";
    writeFileBytes(path, packageWithThumbnail());
    fs::copy_file(path, kept);
    RenameCounter renames(scratch.path(), "deck.pptx");
    ASSERT_TRUE(renames.watching());

    const change::FileRequest request = rowsCustomAndThumbnail("New title");
    const change::FileOutcome outcome = change::applyFileChange(path, request, {});
    ASSERT_EQ(outcome.kind, change::FileOutcome::Kind::Changed) << outcome.failure.text();
    std::vector<std::string> changedNames;
    for (const document::ValueChange& change : outcome.changes) changedNames.push_back(change.name);
    EXPECT_EQ(changedNames, (std::vector<std::string>{"title", "total_editing_minutes", "custom:Memo", "thumbnail"}));
    EXPECT_EQ(renames.renamesSinceLastCall(), 1);

    auto edit = PackageEdit::open(path, false, nullptr);
    ASSERT_TRUE(edit.ok()) << edit.failure().text();
    const auto rows = edit->rows();
    ASSERT_TRUE(rows.ok()) << rows.failure().text();
    EXPECT_EQ((*rows)[0], "New title");
    EXPECT_EQ((*rows)[props::kTotalEditingTimeRow], "30");
    EXPECT_EQ(*edit->customProperties(), (std::vector<props::CustomProperty>{{"Memo", "text", "checked"}}));
    EXPECT_FALSE(*edit->hasThumbnail());

    // The same request again changes nothing: no rename, the same bytes.
    const std::string changed = readFileBytes(path);
    const ino_t inode = statOf(path).st_ino;
    EXPECT_EQ(change::applyFileChange(path, request, {}).kind, change::FileOutcome::Kind::Unchanged);
    EXPECT_EQ(renames.renamesSinceLastCall(), 0);
    EXPECT_TRUE(readFileBytes(path) == changed);
    EXPECT_EQ(statOf(path).st_ino, inode);

    if (!pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    EXPECT_EQ(problemsSeenByPython(fs::path(QUORVANE_SOURCE_DIR) / "tests/support/zip_compare.py",
                                   {{kept, path, {"[Content_Types].xml", "_rels/.rels", "docProps/app.xml", "docProps/core.xml"},
                                     {{"docProps/core.xml", {">New title<"}}, {"docProps/app.xml", {"<TotalTime>30</TotalTime>"}},
                                      {"docProps/custom.xml", {"<vt:lpwstr>checked</vt:lpwstr>"}}},
                                     {"docProps/thumbnail.jpeg"},
                                     {"docProps/custom.xml"}}}),
              "");
}

// A corpus package without its docProps parts and the relationships and overrides that name
// them: a valid package whose only relationship is its main document.
std::string withoutPropertyParts(const fs::path& corpusPackage)
{
    MemoryFile file(bytesOf(readFileBytes(corpusPackage)));
    const auto directory = zip::ReadDirectory(file);
    const std::regex namingDocProps("<(Relationship|Override) [^>]*docProps/[^>]*/>");
    std::vector<ZipBuilderEntry> entries;
    for (const zip::ZipEntry& entry : directory->entries) {
        if (entry.name.starts_with("docProps/")) continue;
        const std::string content = textOf(zip::ExtractEntryToMemory(file, *directory, entry.name));
        entries.push_back({.name = entry.name, .content = std::regex_replace(content, namingDocProps, "")});
    }
    return buildZip(entries);
}

TEST(PackageOneRewrite, APackageWithoutPropertyPartsReadsEmptyAndGetsThePartsItsValuesNeed)
{
    QUORVANE_REQUIRE_CORPUS();
    ScratchDir scratch;
    const fs::path bare = scratch.path() / "bare.pptx";
    writeFileBytes(bare, withoutPropertyParts(corpusDir() / "files" / "sample.pptx"));
    {
        auto edit = PackageEdit::open(bare, false, nullptr);
        ASSERT_TRUE(edit.ok()) << edit.failure().text();
        const auto rows = edit->rows();
        ASSERT_TRUE(rows.ok()) << rows.failure().text();
        EXPECT_EQ(*rows, props::RowTexts{});
    }

    const std::string coreRelationship =
        R"(Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml")";
    const std::string coreOverride =
        R"(<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>)";
    change::FileRequest titleOnly;
    titleOnly.content.rows[0] = props::RowValue::textValue("Bare title");
    change::FileRequest rowsOfBothAndCustom = rowsCustomAndThumbnail("Bare title");
    rowsOfBothAndCustom.content.rows[9] = props::RowValue::textValue("Lomberk");  // Company
    const struct {
        const char* name;
        change::FileRequest request;
        std::vector<std::string> added;
        std::map<std::string, std::vector<std::string>> expect;
    } cases[] = {
        {"title.pptx", titleOnly, {"docProps/core.xml"},
         {{"docProps/core.xml", {">Bare title</dc:title>"}},
          {"_rels/.rels", {coreRelationship}},
          {"[Content_Types].xml", {coreOverride}}}},
        {"all.pptx", rowsOfBothAndCustom, {"docProps/app.xml", "docProps/core.xml", "docProps/custom.xml"},
         {{"docProps/core.xml", {">Bare title</dc:title>"}},
          {"docProps/app.xml", {"<TotalTime>30</TotalTime>", "<Company>Lomberk</Company>"}},
          {"docProps/custom.xml", {"<vt:lpwstr>checked</vt:lpwstr>"}},
          {"_rels/.rels",
           {coreRelationship,
            R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties" Target="docProps/app.xml")",
            R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties" Target="docProps/custom.xml")"}},
          {"[Content_Types].xml",
           {coreOverride,
            R"(<Override PartName="/docProps/app.xml" ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/>)",
            R"(<Override PartName="/docProps/custom.xml" ContentType="application/vnd.openxmlformats-officedocument.custom-properties+xml"/>)"}}}},
    };
    std::vector<RewrittenArchive> forPython;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = scratch.path() / c.name;
        fs::copy_file(bare, path);
        RenameCounter renames(scratch.path(), c.name);
        ASSERT_TRUE(renames.watching());
        const change::FileOutcome outcome = change::applyFileChange(path, c.request, {});
        ASSERT_EQ(outcome.kind, change::FileOutcome::Kind::Changed) << outcome.failure.text();
        EXPECT_EQ(renames.renamesSinceLastCall(), 1);
        auto edit = PackageEdit::open(path, false, nullptr);
        ASSERT_TRUE(edit.ok()) << edit.failure().text();
        ASSERT_TRUE(edit->rows().ok()) << edit->rows().failure().text();
        EXPECT_EQ((*edit->rows())[0], "Bare title");
        if (exiftoolAvailable()) {
            const nlohmann::json tags = exiftoolTags(path);
            ASSERT_TRUE(tags.is_object());
            EXPECT_EQ(tags.value("Title", nlohmann::json()), "Bare title");
        }
        forPython.push_back({bare, path, {"[Content_Types].xml", "_rels/.rels"}, c.expect, {}, c.added});
    }
    if (!pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    EXPECT_EQ(problemsSeenByPython(fs::path(QUORVANE_SOURCE_DIR) / "tests/support/zip_compare.py", forPython), "");
}

// A value the package cannot hold refuses the whole request, in the plan as in the apply: the
// rows, the custom edit and the thumbnail all stay, the file is not replaced.
TEST(PackageOneRewrite, ARefusedValueLeavesTheFileByteIdentical)
{
    ScratchDir scratch;
    const fs::path path = scratch.path() / "deck.pptx";
    const std::string original = packageWithThumbnail();
    writeFileBytes(path, original);
    const ino_t inode = statOf(path).st_ino;
    RenameCounter renames(scratch.path(), "deck.pptx");
    ASSERT_TRUE(renames.watching());

    const change::FileRequest request = rowsCustomAndThumbnail("line\vbreak");
    const char* reason = "text cannot be stored in a package part: control character U+000B in Title";
    EXPECT_EQ(change::planFileChange(path, request, {}).refusal.text(), reason);
    const change::FileOutcome outcome = change::applyFileChange(path, request, {});
    EXPECT_EQ(outcome.kind, change::FileOutcome::Kind::Failed);
    EXPECT_EQ(outcome.failure.kind(), FailureKind::Conversion);
    EXPECT_EQ(outcome.failure.text(), reason);
    EXPECT_EQ(renames.renamesSinceLastCall(), 0);
    EXPECT_TRUE(readFileBytes(path) == original);
    EXPECT_EQ(statOf(path).st_ino, inode);
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()), 1);
}

// A new part takes the first free number in any letter case, "<stem>02.xml" being no "<stem>2.xml";
// the directory is walked once, so that a package of 300,000 taken names is named at once.
TEST(NewPartName, TakesTheFirstFreeNumberInOnePass)
{
    zip::ZipDirectory directory;
    for (const char* name : {"docProps/CUSTOM.xml", "docProps/custom2.xml", "docProps/custom02.xml", "docProps/custom4.xml"})
        directory.entries.push_back({.name = name});
    EXPECT_EQ(newPartEntryName(directory, kNewCustomPart), "docProps/custom3.xml");
    EXPECT_EQ(newPartEntryName(directory, kNewCorePart), "docProps/core.xml");
    for (int n = 3; n < 300'000; ++n) directory.entries.push_back({.name = "docProps/custom" + std::to_string(n) + ".xml"});
    EXPECT_EQ(newPartEntryName(directory, kNewCustomPart), "docProps/custom300000.xml");
}

}  // namespace
}  // namespace quorvane::package
