// SPDX-License-Identifier: Apache-2.0
// Damaged compound files: each header field, FAT, MiniFAT and directory entry broken in turn,
// and the file cut short at many lengths. Reading must end cleanly (no crash, no hang, no huge
// allocation: the sanitizer build checks), and a write either refuses and leaves the file byte
// for byte, or succeeds and leaves a file that passes the allocation check. Damage that would
// make a write overwrite live data must be refused.
#include <gtest/gtest.h>

#include <functional>

#include "props/catalogue.h"
#include "cfb/cfb_compound_file.h"
#include "convert/codepage_text.h"
#include "propset/property_set_access.h"
#include "propset/propset_writer.h"
#include "tests/support/cfb_builder.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/corpus.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::byte>;

constexpr std::size_t kSector = 512;

// Root, then the streams in name order: 1 "Current User", 2 SummaryInformation,
// 3 "PowerPoint Document", 4 DocumentSummaryInformation.
Bytes sampleFile()
{
    const std::string title = "T";
    CfbLayout layout;
    layout.streams = {
        {u"\x05SummaryInformation",
         propset::newPropertySet(props::fmtidOfSelector(props::kSummaryInformation), 2,
                               propset::typedCodePageString(Bytes{std::byte('T')}, 1252))},
        {u"\x05" u"DocumentSummaryInformation", patternBytes(300, 4)},
        {u"PowerPoint Document", patternBytes(9000, 5)},
        {u"Current User", patternBytes(60, 6)},
    };
    return buildCompoundFile(layout);
}

std::size_t sectorOffset(std::uint32_t sector) { return (std::size_t(sector) + 1) * kSector; }
std::size_t entryOffset(const Bytes& file, std::uint32_t entry)
{
    return sectorOffset(readU32(file, 0x30)) + entry * 128;  // one directory sector in the sample
}
std::size_t fatEntryOffset(const Bytes& file, std::uint32_t sector)
{
    return sectorOffset(readU32(file, 0x4C + 4 * (sector / 128))) + 4 * (sector % 128);
}

struct Damage {
    const char* label;
    std::function<void(Bytes&)> apply;
    bool writeMustBeRefused;
};

std::vector<Damage> damages()
{
    auto header = [](std::size_t at, std::uint32_t value) { return [=](Bytes& f) { writeU32(f, at, value); }; };
    auto entry = [](std::uint32_t id, std::size_t field, std::uint32_t value) {
        return [=](Bytes& f) { writeU32(f, entryOffset(f, id) + field, value); };
    };
    return {
        {"signature", header(0, 0), true},
        {"byte order", header(0x1C, 0xFEFF), true},
        {"version 4 with 512-byte sectors", header(0x1A, 4), true},
        {"mini sector shift", header(0x20, 7), true},
        {"cutoff", header(0x38, 0), true},
        {"FAT count huge", header(0x2C, 0xFFFFFFFF), true},
        {"FAT count zero", header(0x2C, 0), true},
        {"directory past the end", header(0x30, 0xFFFFFF00), true},
        {"directory starts in the FAT", header(0x30, 0), true},
        {"DIFAT count huge", header(0x48, 0xFFFFFFFF), true},
        {"DIFAT loops on itself", [](Bytes& f) { writeU32(f, 0x2C, 200); writeU32(f, 0x44, 0); writeU32(f, 0x48, 1); }, true},
        {"DIFAT slot past the end", header(0x4C, 0x00FFFFFF), true},
        {"MiniFAT count huge", header(0x40, 1000), true},
        {"MiniFAT start special", header(0x3C, 0xFFFFFFFA), true},
        {"FAT sector marked free", [](Bytes& f) { writeU32(f, fatEntryOffset(f, 0), 0xFFFFFFFF); }, true},
        {"stream chain loops", [](Bytes& f) {
             const std::uint32_t start = readU32(f, entryOffset(f, 3) + 0x74);
             writeU32(f, fatEntryOffset(f, start + 1), start);
         }, true},
        {"stream chain runs into a free sector", [](Bytes& f) {
             const std::uint32_t start = readU32(f, entryOffset(f, 3) + 0x74);
             writeU32(f, fatEntryOffset(f, start), 0xFFFFFFFF);
         }, true},
        {"two streams share a sector", [](Bytes& f) {
             writeU32(f, entryOffset(f, 4) + 0x78, 5000);  // DSI claims the PowerPoint chain
             writeU32(f, entryOffset(f, 4) + 0x74, readU32(f, entryOffset(f, 3) + 0x74));
         }, true},
        {"mini chain loops", [](Bytes& f) {
             const std::uint32_t miniStart = readU32(f, entryOffset(f, 2) + 0x74);
             writeU32(f, sectorOffset(readU32(f, 0x3C)) + 4 * miniStart, miniStart);
         }, true},
        {"root is a storage", [](Bytes& f) { f[entryOffset(f, 0) + 0x42] = std::byte{1}; }, true},
        {"root child out of range", entry(0, 0x4C, 1000), false},
        {"sibling loop", entry(1, 0x48, 1), true},
        {"sibling out of range", entry(1, 0x44, 77), true},
        {"stream size 4 GiB", entry(2, 0x78, 0xFFFFFFFF), true},
        {"stream start past the end", entry(2, 0x74, 0x00FFFFF0), true},
        {"root size huge", entry(0, 0x78, 0x7FFFFFFF), true},
        {"name length huge", [](Bytes& f) { f[entryOffset(f, 2) + 0x40] = std::byte{0xFF}; }, false},
        // The tree still reaches "Current User" although its type byte says free, and
        // SummaryInformation is renamed away, so a write has to create it: taking entry 1 as
        // the new entry would cut every later entry off the tree.
        {"free entry in the tree, SummaryInformation missing", [](Bytes& f) {
             f[entryOffset(f, 1) + 0x42] = std::byte{0};
             f[entryOffset(f, 2) + 2] = std::byte('T');
         }, true},
        {"entry of unknown type in the tree", [](Bytes& f) { f[entryOffset(f, 3) + 0x42] = std::byte{3}; }, true},
        {"live entries cut off the tree", entry(2, 0x48, 0xFFFFFFFF), true},
        {"a storage shares the root's children", [](Bytes& f) {
             f[entryOffset(f, 4) + 0x42] = std::byte{1};  // DocumentSummaryInformation as a storage
             writeU32(f, entryOffset(f, 4) + 0x4C, 1);    // whose child is "Current User"
         }, true},
        {"property set byte order", [](Bytes& f) {
             const std::uint32_t miniStart = readU32(f, entryOffset(f, 2) + 0x74);
             const std::size_t container = sectorOffset(readU32(f, entryOffset(f, 0) + 0x74));
             writeU32(f, container + 64 * miniStart, 0x0000FEFF);
         }, true},
    };
}

std::string asText(const Bytes& bytes) { return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()); }

void exerciseFile(const fs::path& path, const Bytes& bytes, const std::string& label, bool writeMustBeRefused)
{
    writeFileBytes(path, asText(bytes));
    const props::Fmtid& si = props::fmtidOfSelector(props::kSummaryInformation);
    const std::string title = propset::ReadDocProperty(path.string(), si, 2);
    EXPECT_TRUE(title.empty() || title == "T") << label << ": " << title;
    for (const std::uint32_t id : {3u, 10u, 12u}) (void)propset::ReadEditTimeProperty(path.string(), si, id);

    const bool written = propset::WriteDocProperty(path.string(), si, 2, "New", props::kVtLpstr);
    if (!written) {
        EXPECT_EQ(readFileBytes(path), asText(bytes)) << label << ": a refused write changed the file";
    } else {
        EXPECT_FALSE(writeMustBeRefused) << label << ": written into a file that should be refused";
        auto file = PosixFile::open(path.string(), OpenMode::ReadShared);
        ASSERT_TRUE(file);
        EXPECT_TRUE(readRootStreams(*file)) << label << ": the written file fails the allocation check";
        EXPECT_EQ(propset::ReadDocProperty(path.string(), si, 2), "New") << label;
    }
}

TEST(CfbMalformed, EachDamageReadsCleanlyAndWritesSafely)
{
    ScratchDir scratch;
    const Bytes sample = sampleFile();
    {
        MemoryFile intact(sample);
        ASSERT_TRUE(readRootStreams(intact)) << "the sample itself must be sound";
    }
    for (const Damage& damage : damages()) {
        Bytes bytes = sample;
        damage.apply(bytes);
        MemoryFile file(bytes);
        (void)readRootStreams(file);
        exerciseFile(scratch.path() / "damaged.ppt", bytes, damage.label, damage.writeMustBeRefused);
    }
}

TEST(CfbMalformed, ABrokenRootTreeStillShowsTheNamesOnIntactPathsButRefusesWrites)
{
    // Name order of the sample's root tree: "Current User" (1), then SummaryInformation (2),
    // "PowerPoint Document" (3) and DocumentSummaryInformation (4), each the right sibling of
    // the one before; the [MS-CFB] 2.6.4 descent to SummaryInformation passes only 1 and 2.
    ScratchDir scratch;
    const fs::path path = scratch.path() / "tree.ppt";
    const props::Fmtid& si = props::fmtidOfSelector(props::kSummaryInformation);
    struct Case {
        const char* label;
        std::uint32_t entryId;
        std::size_t field;
        std::uint32_t value;
        const char* title;  // as read
    };
    for (const Case& c : {Case{"left sibling of entry 1 past the directory", 1, 0x44, 77, "T"},
                          Case{"entry 4 loops back to entry 3", 4, 0x44, 3, "T"},
                          Case{"entry 3 loops back to entry 1", 3, 0x44, 1, "T"},
                          Case{"right sibling of entry 1 past the directory", 1, 0x48, 77, ""}}) {
        Bytes bytes = sampleFile();
        writeU32(bytes, entryOffset(bytes, c.entryId) + c.field, c.value);
        writeFileBytes(path, asText(bytes));
        EXPECT_EQ(propset::ReadDocProperty(path.string(), si, 2), c.title) << c.label;
        MemoryFile file(bytes);
        const propset::PropertyWrite write{2, props::kVtLpstr, propset::PropertyWrite::Kind::Text, "New"};
        const Failure written = propset::writePropertiesInto(file, si, std::span(&write, 1));
        EXPECT_EQ(written.text(), "damaged compound file: a directory entry is out of range or the directory tree loops") << c.label;
        EXPECT_TRUE(file.bytes() == bytes) << c.label;
    }
}

TEST(CfbMalformed, SectorsPastWhatTheFatCovers)
{
    // A full one-sector FAT and then 200 sectors that no FAT sector covers: the write has to
    // append FAT sectors that do not cover themselves (the first new one lands after the
    // uncovered sectors) and mark them once a later one does.
    ScratchDir scratch;
    CfbLayout layout;
    layout.streams = {{u"\x05SummaryInformation",
                     propset::newPropertySet(props::fmtidOfSelector(props::kSummaryInformation), 2,
                                           propset::typedCodePageString(Bytes{std::byte('T')}, 1252))}};
    layout.fullFatSectors = 1;
    Bytes bytes = buildCompoundFile(layout);
    const Bytes trailer = patternBytes(200 * kSector, 9);
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
    const fs::path path = scratch.path() / "trailing.ppt";
    writeFileBytes(path, asText(bytes));
    const props::Fmtid& si = props::fmtidOfSelector(props::kSummaryInformation);
    const std::string longTitle(6000, 't');
    ASSERT_TRUE(propset::WriteDocProperty(path.string(), si, 2, longTitle, props::kVtLpstr));
    EXPECT_TRUE(propset::ReadDocProperty(path.string(), si, 2) == longTitle);
    auto file = PosixFile::open(path.string(), OpenMode::ReadShared);
    ASSERT_TRUE(file);
    const auto streams = readRootStreams(*file);
    ASSERT_TRUE(streams) << "the written file fails the allocation check";
    MemoryFile original(buildCompoundFile(layout));
    const auto originalStreams = readRootStreams(original);
    ASSERT_TRUE(originalStreams);
    EXPECT_TRUE(streams->at(u"Filler") == originalStreams->at(u"Filler")) << "the other stream changed";
    auto reopened = cfb::CompoundFile::open(*file);
    ASSERT_TRUE(reopened.ok()) << reopened.failure().text();
    EXPECT_EQ(reopened.value().header().numFatSectors, 3u);
}

TEST(CfbMalformed, EveryHeaderFieldSetToExtremeValues)
{
    ScratchDir scratch;
    const Bytes sample = sampleFile();
    for (std::size_t at = 0x18; at < 0x4C + 8; at += 2) {
        for (const std::uint32_t value : {0u, 1u, 0x7FFFu, 0xFFFFu}) {
            Bytes bytes = sample;
            bytes[at] = std::byte(value);
            bytes[at + 1] = std::byte(value >> 8);
            MemoryFile file(bytes);
            (void)readRootStreams(file);
            exerciseFile(scratch.path() / "header.ppt", bytes, "header offset " + std::to_string(at), false);
        }
    }
}

TEST(CfbMalformed, FilesCutShortAtManyLengths)
{
    ScratchDir scratch;
    const Bytes sample = sampleFile();
    for (std::size_t length = 0; length < sample.size(); length += length < 1024 ? 97 : 1531) {
        const Bytes bytes(sample.begin(), sample.begin() + std::ptrdiff_t(length));
        exerciseFile(scratch.path() / "cut.ppt", bytes, "cut at " + std::to_string(length), false);
    }
}

}  // namespace
}  // namespace quorvane::testing
