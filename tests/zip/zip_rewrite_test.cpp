// SPDX-License-Identifier: Apache-2.0
// Replacing, removing and adding entries in one rewrite: untouched entries stay byte for byte,
// replaced and added ones are new and deflated, removed ones are gone, the result reads back here
// and in Python's zipfile, and a failure at any write leaves the original file as it was with no
// temporary file behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "zip/zip_central_dir.h"
#include "zip/zip_entry_extract.h"
#include "zip/zip_format.h"
#include "zip/zip_rewrite.h"
#include "tests/support/corpus.h"
#include "tests/support/faulty_file.h"
#include "tests/support/zip_builder.h"
#include "tests/support/zip_python_check.h"

namespace quorvane::zip {
namespace {

namespace fs = std::filesystem;
using testing::buildZip;
using testing::extraBlock;
using testing::FaultyFile;
using testing::ScratchDir;
using testing::ZipBuilderEntry;
using testing::ZipBuildOptions;

using testing::bytesOf;
using testing::textOf;

std::vector<ZipBuilderEntry> packageLikeEntries()
{
    return {
        {.name = "[Content_Types].xml", .content = "<Types/>"},
        {.name = "_rels/.rels", .content = "<Relationships/>", .deflate = false},
        {.name = "docProps/app.xml", .content = std::string(5000, 'a'), .dataDescriptor = true,
         .localExtra = extraBlock(0x5455, "\x01\x00\x00\x00\x00"), .centralExtra = extraBlock(0x5455, "\x01\x00\x00\x00\x00")},
        {.name = "ppt/slides/slide1.xml", .content = std::string(70000, 's'), .dataDescriptor = true,
         .comment = "kept"},
        {.name = "docProps/core.xml", .content = "<core/>", .deflate = false},
        {.name = "ppt/media/image1.png", .content = std::string(3 << 20, 'p'), .deflate = false},
    };
}

// The bytes of each entry from its local header up to the next one (or the directory).
std::vector<std::string> entrySpans(const std::string& archive)
{
    MemoryFile file(bytesOf(archive));
    const auto directory = zip::ReadDirectory(file);
    std::vector<std::uint64_t> offsets;
    for (const auto& e : directory->entries) offsets.push_back(e.localHeaderOffset);
    std::vector<std::string> spans;
    for (const auto& e : directory->entries) {
        std::uint64_t next = directory->end.centralDirOffset;
        for (const std::uint64_t o : offsets)
            if (o > e.localHeaderOffset) next = std::min(next, o);
        spans.push_back(archive.substr(e.localHeaderOffset, next - e.localHeaderOffset));
    }
    return spans;
}

const struct Shape {
    const char* name;
    ZipBuildOptions options;
} kShapes[] = {
    {"plain", {}},
    {"zip64", {.zip64 = true}},
    {"stub and comment", {.comment = "archive comment", .prefix = "stub before the first entry"}},
};

TEST(ZipRewrite, ReplacesTwoEntriesAndCopiesEveryOtherByteForByte)
{
    ScratchDir scratch;
    std::vector<testing::RewrittenArchive> forPython;
    const std::string newApp = "<Properties><Company>Lomberk</Company></Properties>";
    const std::string newCore = std::string(20000, ' ') + "<core>new</core>";
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        const std::string original = buildZip(packageLikeEntries(), shape.options);
        const fs::path path = scratch.path() / (std::string(shape.name) + ".pptx");
        const fs::path kept = scratch.path() / (std::string(shape.name) + ".original.pptx");
        testing::writeFileBytes(path, original);
        testing::writeFileBytes(kept, original);
        ::chmod(path.c_str(), 0640);

        {
            auto source = PosixFile::open(path, OpenMode::ReadWriteExclusive);
            ASSERT_TRUE(source);
            const auto directory = zip::ReadDirectory(*source);
            ASSERT_TRUE(directory);
            const auto app = bytesOf(newApp);
            const auto core = bytesOf(newCore);
            const zip::EntryReplacement replacements[] = {{*findEntry(*directory, "docProps\\core.xml"), core},
                                                     {*findEntry(*directory, "docProps\\app.xml"), app}};
            ASSERT_EQ(editArchive(path, *source, *directory, {.replacements = replacements}, 0640), Failure{});
        }

        const std::string rewritten = testing::readFileBytes(path);
        MemoryFile file(bytesOf(rewritten));
        const auto directory = zip::ReadDirectory(file);
        ASSERT_TRUE(directory);
        ASSERT_EQ(zip::EntryCount(*directory), 6u);
        EXPECT_EQ(textOf(zip::ExtractEntryToMemory(file, *directory, "docProps\\app.xml")), newApp);
        EXPECT_EQ(textOf(zip::ExtractEntryToMemory(file, *directory, "docProps\\core.xml")), newCore);
        const auto oldSpans = entrySpans(original);
        const auto newSpans = entrySpans(rewritten);
        for (std::size_t i = 0; i < oldSpans.size(); ++i) {
            const std::string& name = directory->entries[i].name;
            EXPECT_EQ(name, packageLikeEntries()[i].name);
            if (name == "docProps/app.xml" || name == "docProps/core.xml") {
                EXPECT_EQ(directory->entries[i].method, 8) << name;
                EXPECT_EQ(directory->entries[i].flags & 0x0008, 0) << name << " keeps no data descriptor";
            } else {
                EXPECT_TRUE(oldSpans[i] == newSpans[i]) << name << " was not copied byte for byte";
            }
        }
        EXPECT_EQ(directory->end.hasZip64Records, shape.options.zip64);
        EXPECT_EQ(textOf(directory->end.comment), shape.options.comment);
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0640u);
        forPython.push_back({kept, path, {"docProps/app.xml", "docProps/core.xml"},
                             {{"docProps/app.xml", {"Lomberk"}}, {"docProps/core.xml", {"<core>new</core>"}}}});
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()), 6)
        << "a temporary file was left behind";
    if (!testing::pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    EXPECT_EQ(testing::problemsSeenByPython(fs::path(QUORVANE_SOURCE_DIR) / "tests/support/zip_compare.py", forPython),
              "");
}

TEST(ZipRewrite, RemovesAndAddsEntriesInTheSamePass)
{
    ScratchDir scratch;
    std::vector<testing::RewrittenArchive> forPython;
    const std::string newRels = "<Relationships>changed</Relationships>";
    const std::string added = "<Properties>added</Properties>";
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        const std::string original = buildZip(packageLikeEntries(), shape.options);
        const fs::path path = scratch.path() / (std::string(shape.name) + ".pptx");
        const fs::path kept = scratch.path() / (std::string(shape.name) + ".original.pptx");
        testing::writeFileBytes(path, original);
        testing::writeFileBytes(kept, original);
        {
            auto source = PosixFile::open(path, OpenMode::ReadWriteExclusive);
            ASSERT_TRUE(source);
            const auto directory = zip::ReadDirectory(*source);
            ASSERT_TRUE(directory);
            const auto rels = bytesOf(newRels);
            const auto content = bytesOf(added);
            const EntryReplacement replacements[] = {{*findEntry(*directory, "_rels/.rels"), rels}};
            // One with a data descriptor in the middle, and the last, whose bytes run up to the directory.
            const std::size_t removals[] = {*findEntry(*directory, "ppt/media/image1.png"),
                                            *findEntry(*directory, "docProps/app.xml")};
            const EntryAddition additions[] = {{"docProps/custom.xml", content}, {"docProps/na\xC3\xAFve.xml", content}};
            ASSERT_EQ(editArchive(path, *source, *directory, {replacements, removals, additions}, 0644), Failure{});
        }
        const std::string rewritten = testing::readFileBytes(path);
        MemoryFile file(bytesOf(rewritten));
        const auto directory = zip::ReadDirectory(file);
        ASSERT_TRUE(directory);
        std::vector<std::string> names;
        for (const ZipEntry& entry : directory->entries) names.push_back(entry.name);
        EXPECT_EQ(names, (std::vector<std::string>{"[Content_Types].xml", "_rels/.rels", "ppt/slides/slide1.xml",
                                                   "docProps/core.xml", "docProps/custom.xml", "docProps/na\xC3\xAFve.xml"}));
        EXPECT_EQ(textOf(zip::ExtractEntryToMemory(file, *directory, "docProps/custom.xml")), added);
        EXPECT_EQ(directory->entries[5].flags & kFlagUtf8Name, kFlagUtf8Name);
        const auto oldSpans = entrySpans(original);
        const auto newSpans = entrySpans(rewritten);
        for (const auto& [oldIndex, newIndex] : {std::pair{0, 0}, {3, 2}, {4, 3}})
            EXPECT_TRUE(oldSpans[oldIndex] == newSpans[newIndex]) << names[newIndex] << " was not copied byte for byte";
        forPython.push_back({kept, path, {"_rels/.rels"},
                             {{"_rels/.rels", {"changed"}}, {"docProps/custom.xml", {"added"}}},
                             {"ppt/media/image1.png", "docProps/app.xml"},
                             {"docProps/custom.xml", "docProps/na\xC3\xAFve.xml"}});
    }
    if (!testing::pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    EXPECT_EQ(testing::problemsSeenByPython(fs::path(QUORVANE_SOURCE_DIR) / "tests/support/zip_compare.py", forPython),
              "");
}

// Fails each write, truncation and sync of the rewrite in turn, then lets the whole sequence
// run: every failure gives the system's reason, leaves the original byte-identical and removes
// the temporary file.
TEST(ZipRewrite, FailureAtEveryWriteLeavesTheOriginalUntouched)
{
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        ScratchDir scratch;
        const std::string original = buildZip(packageLikeEntries(), shape.options);
        const fs::path path = scratch.path() / "deck.pptx";
        testing::writeFileBytes(path, original);
        const auto content = bytesOf("<core>changed</core>");
        bool completed = false;
        for (int failAt = 1; !completed; ++failAt) {
            ASSERT_LT(failAt, 100) << "the rewrite never completed";
            std::optional<FaultyFile> faulty;
            const TargetWrapper wrap = [&](RandomAccessFile& inner) -> RandomAccessFile& {
                return faulty.emplace(inner, FaultyFile::Mode::FailOne, failAt);
            };
            auto source = PosixFile::open(path, OpenMode::ReadWriteExclusive);
            ASSERT_TRUE(source);
            const auto directory = zip::ReadDirectory(*source);
            ASSERT_TRUE(directory);
            const zip::EntryReplacement replacement[] = {{*findEntry(*directory, "docProps\\core.xml"), content}};
            const Failure failure =
                editArchive(path, *source, *directory, {.replacements = replacement}, 0644, nullptr, wrap);
            completed = !faulty->triggered();
            if (completed) {
                EXPECT_EQ(failure, Failure{});
            } else {
                EXPECT_EQ(failure.kind(), FailureKind::NoSpace) << "call " << failAt << ": " << failure.text();
                EXPECT_TRUE(testing::readFileBytes(path) == original) << "call " << failAt;
            }
            EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()), 1)
                << "call " << failAt << " left a temporary file";
        }
        MemoryFile file(bytesOf(testing::readFileBytes(path)));
        const auto directory = zip::ReadDirectory(file);
        ASSERT_TRUE(directory);
        EXPECT_EQ(textOf(zip::ExtractEntryToMemory(file, *directory, "docProps/core.xml")), "<core>changed</core>");
    }
}

TEST(ZipRewrite, RefusesEditsItCannotPlaceSafely)
{
    const std::string archive = buildZip(packageLikeEntries());
    MemoryFile source(bytesOf(archive));
    auto directory = zip::ReadDirectory(source);
    ASSERT_TRUE(directory);
    const auto content = bytesOf("<x/>");
    MemoryFile target;

    const zip::EntryReplacement twice[] = {{4, content}, {4, content}};
    EXPECT_EQ(zip::rewriteArchiveInto(source, *directory, twice, target).kind(), FailureKind::Damaged);

    // Two directory records pointing at one local header: replacing either would change both.
    zip::ZipDirectory overlapping = *directory;
    overlapping.entries[3].localHeaderOffset = overlapping.entries[4].localHeaderOffset;
    const zip::EntryReplacement shared[] = {{4, content}};
    EXPECT_EQ(zip::rewriteArchiveInto(source, overlapping, shared, target).kind(), FailureKind::Damaged);

    const std::size_t removal[] = {4};
    EXPECT_EQ(zip::rewriteArchiveInto(source, *directory, {.replacements = shared, .removals = removal}, target).kind(),
              FailureKind::Damaged);
    const EntryAddition taken[] = {{"docProps/core.xml", content}};
    EXPECT_EQ(zip::rewriteArchiveInto(source, *directory, {.additions = taken}, target).kind(), FailureKind::Unsupported);

    ZipDirectory badHeader = *directory;
    badHeader.entries[4].localHeaderOffset += 1;
    EXPECT_EQ(zip::rewriteArchiveInto(source, badHeader, shared, target).kind(), FailureKind::Damaged);
}

}  // namespace
}  // namespace quorvane::zip
