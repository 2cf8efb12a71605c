// SPDX-License-Identifier: Apache-2.0
// Reading ZIP archives: the directory, entry names in the reader's form, extraction of stored,
// deflated, ZIP64 and data-descriptor entries, and the bounds that make damaged input harmless.
#include <gtest/gtest.h>

#include <string>

#include "zip/zip_central_dir.h"
#include "zip/zip_entry_extract.h"
#include "tests/support/zip_builder.h"

namespace quorvane::zip {
namespace {

using testing::buildZip;
using testing::extraBlock;
using testing::ZipBuilderEntry;
using testing::ZipBuildOptions;

using testing::textOf;

MemoryFile memoryFileOf(const std::string& bytes) { return MemoryFile(testing::bytesOf(bytes)); }

std::vector<ZipBuilderEntry> sampleEntries()
{
    return {
        {.name = "[Content_Types].xml", .content = "<Types/>"},
        {.name = "_rels/.rels", .content = "<Relationships/>", .deflate = false},
        {.name = "docProps/core.xml", .content = std::string(3000, 'c'), .dataDescriptor = true,
         .localExtra = extraBlock(0x5455, "\x01\x00\x00\x00\x00"), .comment = "entry comment"},
        {.name = "ppt/slides/slide1.xml", .content = "<slide/>", .deflate = false, .dataDescriptor = true},
        {.name = "ppt/media/", .content = "", .deflate = false},
    };
}

TEST(ZipRead, ListsEntriesInTheReadersFormOverEveryArchiveShape)
{
    const struct {
        const char* shape;
        ZipBuildOptions options;
    } shapes[] = {
        {"plain", {}},
        {"zip64", {.zip64 = true}},
        {"comment holding an end signature", {.comment = std::string("PK\x05\x06", 4) + "not the end"}},
        {"bytes before the first entry", {.prefix = "#!/bin/sh\nexit 0\n"}},
    };
    const struct {
        const char* fileName;
        const char* pathName;
    } expectedNames[] = {
        {"[Content_Types].xml", ""}, {".rels", "_rels\\"}, {"core.xml", "docProps\\"},
        {"slide1.xml", "ppt\\slides\\"}, {"", "ppt\\media\\"},
    };
    for (const auto& shape : shapes) {
        SCOPED_TRACE(shape.shape);
        MemoryFile file = memoryFileOf(buildZip(sampleEntries(), shape.options));
        const auto directory = zip::ReadDirectory(file);
        ASSERT_TRUE(directory);
        ASSERT_EQ(zip::EntryCount(*directory), std::size(expectedNames));
        for (std::size_t i = 0; i < zip::EntryCount(*directory); ++i) {
            EXPECT_EQ(zip::EntryFileName(*directory, i), expectedNames[i].fileName);
            EXPECT_EQ(zip::EntryPathName(*directory, i), expectedNames[i].pathName);
        }
        EXPECT_EQ(textOf(zip::ExtractEntryToMemory(file, *directory, "_rels\\.rels")), "<Relationships/>");
        EXPECT_EQ(textOf(zip::ExtractEntryToMemory(file, *directory, "docProps\\core.xml")), std::string(3000, 'c'));
        EXPECT_EQ(textOf(zip::ExtractEntryToMemory(file, *directory, "ppt\\slides\\slide1.xml")), "<slide/>");
    }
}

TEST(ZipRead, ExtractionTrimsTheNameAndIgnoresLetterCase)
{
    MemoryFile file = memoryFileOf(buildZip(sampleEntries()));
    const auto directory = zip::ReadDirectory(file);
    ASSERT_TRUE(directory);
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"  _RELS\\.Rels \t", "<Relationships/>"},
        {"[content_types].XML", "<Types/>"},
        {"_rels/.rels", "<Relationships/>"},  // "/" is taken for "\" as well
        {"\\_rels\\.rels", ""},              // a leading separator is not removed
        {"_rels\\.rels\\", ""},
        {"rels", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textOf(zip::ExtractEntryToMemory(file, *directory, c.name)), c.expected) << '"' << c.name << '"';
}

TEST(ZipRead, DamagedOrHostileEntriesCountAsMissing)
{
    const std::string kPart = "<part/>";
    std::vector<ZipBuilderEntry> entries = {
        {.name = "bad-crc", .content = kPart, .statedCrc = 0x12345678},
        {.name = "stored-bad-crc", .content = kPart, .deflate = false, .statedCrc = 1},
        // A zip bomb: the records claim 7 bytes, the data inflates to far more.
        {.name = "bomb", .content = std::string(1 << 20, 'x'), .statedSize = 7},
        {.name = "short", .content = kPart, .statedSize = 100},
        {.name = "encrypted", .content = kPart},
        {.name = "method-12", .content = kPart},
        {.name = "twice", .content = kPart},
        {.name = "TWICE", .content = kPart},  // the same name when letter case is ignored
        {.name = "good", .content = kPart},
    };
    std::string bytes = buildZip(entries);
    MemoryFile plain = memoryFileOf(bytes);
    auto directory = zip::ReadDirectory(plain);
    ASSERT_TRUE(directory);
    // Patch the flags and method of two entries in place in both headers.
    auto patch16 = [&bytes](std::uint64_t at, std::uint16_t value) {
        bytes[at] = char(value & 0xFF);
        bytes[at + 1] = char(value >> 8);
    };
    const auto& encrypted = directory->entries[4];
    const auto& method12 = directory->entries[5];
    const std::uint64_t centralOffset = directory->end.centralDirOffset;
    patch16(encrypted.localHeaderOffset + 6, 1);
    patch16(centralOffset + encrypted.recordOffset + 8, 1);
    patch16(method12.localHeaderOffset + 8, 12);
    patch16(centralOffset + method12.recordOffset + 10, 12);

    MemoryFile file = memoryFileOf(bytes);
    directory = ReadDirectory(file);
    ASSERT_TRUE(directory);
    for (const char* name : {"bad-crc", "stored-bad-crc", "bomb", "short", "encrypted", "method-12", "twice"})
        EXPECT_TRUE(zip::ExtractEntryToMemory(file, *directory, name).empty()) << name;
    EXPECT_EQ(textOf(zip::ExtractEntryToMemory(file, *directory, "good")), kPart);
}

TEST(ZipRead, EntryPastTheInflateCapCountsAsMissing)
{
    const std::string big(std::size_t(zip::kMaxInflatedEntryBytes) + 1, '\0');
    const std::string atCap(std::size_t(kMaxInflatedEntryBytes), '\0');
    MemoryFile file = memoryFileOf(buildZip({{.name = "big", .content = big}, {.name = "at-cap", .content = atCap}}));
    const auto directory = zip::ReadDirectory(file);
    ASSERT_TRUE(directory);
    EXPECT_TRUE(zip::ExtractEntryToMemory(file, *directory, "big").empty());
    EXPECT_EQ(zip::ExtractEntryToMemory(file, *directory, "at-cap").size(), kMaxInflatedEntryBytes);
}

TEST(ZipRead, FilesWithoutAPlausibleEndRecordAreNoArchive)
{
    const std::string good = buildZip(sampleEntries());
    const std::size_t endRecord = good.size() - 22;
    auto patched = [&good](std::size_t at, std::string bytes) {
        std::string copy = good;
        copy.replace(at, bytes.size(), bytes);
        return copy;
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"text", "This is not an archive, only a file named .pptx\n"},
        {"a compound file", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0')},
        {"end record cut off", good.substr(0, good.size() - 1)},
        {"disk number 1", patched(endRecord + 4, std::string("\x01\x00", 2))},
        {"entries on this disk differ", patched(endRecord + 8, std::string("\x04\x00", 2))},
        {"more entries than the directory holds", patched(endRecord + 8, std::string("\xFF\x00\xFF\x00", 4))},
        {"directory beyond the file", patched(endRecord + 16, std::string("\x00\x00\x00\x7F", 4))},
        {"directory size beyond the end record", patched(endRecord + 12, std::string("\xFF\xFF\x00\x00", 4))},
        {"central record signature broken", patched(good.find(std::string("PK\x01\x02", 4)), "XX")},
        {"the end record alone, pointing at entries", good.substr(endRecord)},
    };
    for (const auto& c : cases) {
        MemoryFile file = memoryFileOf(c.bytes);
        EXPECT_FALSE(zip::ReadDirectory(file)) << c.what;
    }
    // An archive without entries is still an archive.
    MemoryFile empty = memoryFileOf(buildZip({}));
    const auto directory = zip::ReadDirectory(empty);
    ASSERT_TRUE(directory);
    EXPECT_EQ(zip::EntryCount(*directory), 0u);
}

// Every truncation and every single-byte corruption of an archive is read without a crash, and
// whatever is extracted from it still passed its CRC.
TEST(ZipRead, TruncatedAndCorruptedArchivesNeverCrash)
{
    for (const bool zip64 : {false, true}) {
        const std::string good = buildZip(sampleEntries(), {.zip64 = zip64});
        auto readAll = [](const std::string& bytes) {
            MemoryFile file = memoryFileOf(bytes);
            const auto directory = zip::ReadDirectory(file);
            if (!directory) return;
            for (std::size_t i = 0; i < zip::EntryCount(*directory); ++i) (void)zip::readEntryData(file, *directory, i);
            (void)zip::ExtractEntryToMemory(file, *directory, "docProps\\core.xml");
        };
        for (std::size_t length = 0; length < good.size(); ++length) readAll(good.substr(0, length));
        for (std::size_t at = 0; at < good.size(); ++at) {
            std::string damaged = good;
            damaged[at] = char(damaged[at] ^ 0x5A);
            readAll(damaged);
            MemoryFile file = memoryFileOf(damaged);
            if (const auto directory = zip::ReadDirectory(file)) {
                const auto core = zip::ExtractEntryToMemory(file, *directory, "docProps\\core.xml");
                EXPECT_TRUE(core.empty() || textOf(core) == std::string(3000, 'c')) << "byte " << at;
            }
        }
    }
}

}  // namespace
}  // namespace quorvane::zip
