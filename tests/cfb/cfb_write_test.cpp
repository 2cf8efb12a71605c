// SPDX-License-Identifier: Apache-2.0
// In-place stream writes on built compound files: every case ends with the target holding the
// new bytes, every other stream unchanged, and the allocation structures sound; the same for
// a file whose FAT is full, where the write must add a FAT sector and the first DIFAT sector.
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "cfb/cfb_compound_file.h"
#include "cfb/cfb_stream_write.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/cfb_olefile.h"
#include "tests/support/cfb_write_cases.h"
#include "tests/support/corpus.h"

namespace quorvane::testing {
namespace {

void expectWritten(const StreamMap& before, const std::optional<StreamMap>& after, const CfbWriteCase& c)
{
    ASSERT_TRUE(after) << c.label << ": the file no longer opens or fails its allocation check";
    ASSERT_TRUE(after->count(c.target)) << c.label;
    EXPECT_TRUE(after->at(c.target) == c.newData) << c.label;
    EXPECT_EQ(after->size(), before.size() + (c.create ? 1 : 0)) << c.label;
    for (const auto& [name, bytes] : before) {
        if (name != c.target) {
            EXPECT_TRUE(after->at(name) == bytes) << c.label << ": " << printableName(name);
        }
    }
}

// The 128 bytes of every directory entry, by id, read through the directory chain.
std::vector<std::vector<std::byte>> rawEntries(MemoryFile& file)
{
    auto opened = cfb::CompoundFile::open(file);
    std::vector<std::vector<std::byte>> entries;
    if (!opened.ok()) return entries;
    cfb::CompoundFile* cf = &opened.value();
    const auto chain = cf->fat().wholeChain(cf->header().firstDirSector);
    for (const std::uint32_t sector : chain.value_or(std::vector<std::uint32_t>{})) {
        for (std::uint32_t at = 0; at < cf->header().sectorSize(); at += 128) {
            const auto offset = std::ptrdiff_t(cf->header().offsetOf(sector) + at);
            entries.emplace_back(file.bytes().begin() + offset, file.bytes().begin() + offset + 128);
        }
    }
    return entries;
}

TEST(CfbWrite, OnlyTheEntriesAndHeaderFieldsTheWriteNeedsChange)
{
    for (const CfbWriteCase& c : cfbWriteCases()) {
        MemoryFile file(buildCompoundFile(c.layout));
        const auto entriesBefore = rawEntries(file);
        const auto headerBefore = std::vector<std::byte>(file.bytes().begin(), file.bytes().begin() + 512);
        Failure fault;
        ASSERT_TRUE(applyCfbWrite(file, c, &fault)) << c.label;
        const auto entriesAfter = rawEntries(file);
        ASSERT_GE(entriesAfter.size(), entriesBefore.size()) << c.label;
        // The root (size of the mini stream, maybe a child link), the target, and for a new
        // stream the one entry whose sibling field now points to it: nothing else.
        int changed = 0;
        for (std::size_t id = 1; id < entriesBefore.size(); ++id) changed += entriesBefore[id] != entriesAfter[id];
        EXPECT_LE(changed, c.create ? 2 : 1) << c.label;
        // Signature, CLSID, versions, byte order, shifts, reserved bytes, first directory
        // sector, transaction signature and cutoff keep their bytes.
        EXPECT_TRUE(std::equal(headerBefore.begin(), headerBefore.begin() + 0x2C, file.bytes().begin())) << c.label;
        EXPECT_TRUE(std::equal(headerBefore.begin() + 0x30, headerBefore.begin() + 0x3C, file.bytes().begin() + 0x30))
            << c.label;
    }
}

TEST(CfbWrite, EveryCaseLeavesTheNewStreamAndEveryOtherUnchanged)
{
    for (const CfbWriteCase& c : cfbWriteCases()) {
        MemoryFile file(buildCompoundFile(c.layout));
        const auto before = readRootStreams(file);
        ASSERT_TRUE(before) << c.label << ": the builder made an unreadable file";
        Failure fault;
        ASSERT_TRUE(applyCfbWrite(file, c, &fault)) << c.label << " " << fault.text();
        expectWritten(*before, readRootStreams(file), c);
        EXPECT_EQ(file.bytes().size() % (c.layout.majorVersion == 4 ? 4096 : 512), 0u) << c.label;
    }
}

// olefile's name of a root stream: the name itself, control characters included.
std::string olefileName(const std::u16string& name)
{
    std::string text;
    for (const char16_t unit : name) text += char(unit);
    return text;
}

TEST(CfbWrite, OlefileReadsEveryWrittenFileWithOnlyTheTargetChanged)
{
    ScratchDir scratch;
    for (const CfbWriteCase& c : cfbWriteCases()) {
        const std::vector<std::byte> original = buildCompoundFile(c.layout);
        MemoryFile file(original);
        Failure fault;
        ASSERT_TRUE(applyCfbWrite(file, c, &fault)) << c.label;
        const auto asText = [](const std::vector<std::byte>& bytes) {
            return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        };
        writeFileBytes(scratch.path() / "before.cfb", asText(original));
        writeFileBytes(scratch.path() / "after.cfb", asText(file.bytes()));
        const auto verdict = olefileCompare(scratch.path() / "before.cfb", scratch.path() / "after.cfb");
        ASSERT_FALSE(verdict.is_null()) << "olefile_compare.py did not run";
        EXPECT_TRUE(verdict["new_opens"].get<bool>()) << c.label << " " << verdict.dump();
        const auto expectedChange = nlohmann::json::array({olefileName(c.target)});
        EXPECT_EQ(verdict["missing"], nlohmann::json::array()) << c.label;
        if (c.create) {
            EXPECT_EQ(verdict["added"], expectedChange) << c.label;
            EXPECT_EQ(verdict["changed"], nlohmann::json::array()) << c.label;
        } else {
            EXPECT_EQ(verdict["added"], nlohmann::json::array()) << c.label;
            EXPECT_EQ(verdict["changed"], expectedChange) << c.label;
        }
    }
}

TEST(CfbWrite, WritesTwiceInARowReuseFreedSpace)
{
    for (const CfbWriteCase& c : cfbWriteCases()) {
        if (c.create) continue;
        MemoryFile file(buildCompoundFile(c.layout));
        Failure fault;
        ASSERT_TRUE(applyCfbWrite(file, c, &fault)) << c.label;
        const std::size_t lengthAfterFirst = file.bytes().size();
        CfbWriteCase back = c;
        back.newData = patternBytes(c.newData.size(), 77);
        ASSERT_TRUE(applyCfbWrite(file, back, &fault)) << c.label;
        const auto after = readRootStreams(file);
        ASSERT_TRUE(after) << c.label;
        EXPECT_TRUE(after->at(c.target) == back.newData) << c.label;
        // The second copy of the same size fits into what the first write freed or left free.
        EXPECT_LE(file.bytes().size(), lengthAfterFirst + c.newData.size() + 2 * 4096) << c.label;
    }
}

constexpr std::string_view kMarker = "OldValue#Qv7";

// The marker in its 8-bit and its UTF-16LE form, 36 bytes: both fit in one mini sector.
std::vector<std::byte> markerForms()
{
    std::vector<std::byte> forms;
    for (const char c : kMarker) forms.push_back(std::byte(c));
    for (const char c : kMarker) forms.insert(forms.end(), {std::byte(c), std::byte{0}});
    return forms;
}

bool holdsMarker(std::span<const std::byte> bytes)
{
    const std::vector<std::byte> forms = markerForms();
    const auto narrow = std::span(forms).first(kMarker.size()), wide = std::span(forms).subspan(kMarker.size());
    return std::search(bytes.begin(), bytes.end(), narrow.begin(), narrow.end()) != bytes.end() ||
           std::search(bytes.begin(), bytes.end(), wide.begin(), wide.end()) != bytes.end();
}

void fillWithMarkers(std::span<std::byte> bytes)
{
    const std::vector<std::byte> forms = markerForms();
    for (std::size_t at = 0; at < bytes.size(); at += forms.size())
        std::copy_n(forms.begin(), std::min(forms.size(), bytes.size() - at), bytes.begin() + std::ptrdiff_t(at));
}

// File offsets [first, second) of the free room at the end of the mini stream's last container
// sector, past the root entry's size.
std::pair<std::size_t, std::size_t> containerSlack(cfb::CompoundFile& cf)
{
    const std::uint32_t sectorSize = cf.header().sectorSize();
    const auto& container = cf.miniStream().containerSectorIds();
    const std::size_t used = std::size_t(cf.miniStream().rootSize() % sectorSize);
    if (container.empty() || used == 0) return {0, 0};
    const auto start = std::size_t(cf.header().offsetOf(container.back()));
    return {start + used, start + sectorSize};
}

// Builds the case's file with old bytes wherever a write could leave them: the marker in every
// 64 bytes of the target's old content, in the slack past the end of every stream in its last
// regular or mini sector and past the mini stream's end, and in enough free sectors appended to
// the file to take the largest new stream.
std::vector<std::byte> fileWithOldBytes(CfbWriteCase& c)
{
    for (CfbStreamSpec& stream : c.layout.streams)
        if (stream.name == c.target)
            for (std::size_t at = 0; at + markerForms().size() <= stream.data.size(); at += cfb::kMiniSectorSize)
                fillWithMarkers(std::span(stream.data).subspan(at, markerForms().size()));
    std::vector<std::byte> bytes = buildCompoundFile(c.layout);
    MemoryFile built(bytes);
    auto opened = cfb::CompoundFile::open(built);
    cfb::CompoundFile& cf = opened.value();
    const std::uint32_t sectorSize = cf.header().sectorSize();
    for (const CfbStreamSpec& stream : c.layout.streams) {
        const cfb::DirEntry entry = cf.directory().entry(*cf.findRootStream(stream.name));
        if (entry.streamSize == 0) continue;
        const bool mini = entry.streamSize < cf.header().miniStreamCutoff;
        const std::uint32_t unit = mini ? cfb::kMiniSectorSize : sectorSize;
        const auto chain = mini ? cf.miniStream().wholeChain(entry.startingSector) : cf.fat().wholeChain(entry.startingSector);
        const std::uint64_t miniOffset = std::uint64_t(chain->back()) * unit;
        const std::uint64_t lastStart =
            mini ? cf.header().offsetOf(cf.miniStream().containerSectorIds()[miniOffset / sectorSize]) + miniOffset % sectorSize
                 : cf.header().offsetOf(chain->back());
        const std::size_t used = std::size_t((entry.streamSize - 1) % unit + 1);
        fillWithMarkers(std::span(bytes).subspan(lastStart + used, unit - used));
    }
    const auto [slackStart, slackEnd] = containerSlack(cf);
    fillWithMarkers(std::span(bytes).subspan(slackStart, slackEnd - slackStart));
    bytes.resize(bytes.size() + 32768, std::byte{0});
    fillWithMarkers(std::span(bytes).last(32768));
    return bytes;
}

// Every transition of a stream (mini and regular, growing, shrinking, emptied, created, the
// MiniFAT and the mini stream growing) on a file holding old bytes in the target, the slack of
// every stream and free sectors: no marker is left anywhere in the file, and olefile reads every
// other stream unchanged.
TEST(CfbWrite, NoOldByteOfTheReplacedStreamIsLeftInTheFile)
{
    ScratchDir scratch;
    for (CfbWriteCase c : cfbWriteCases()) {
        const std::vector<std::byte> original = fileWithOldBytes(c);
        ASSERT_TRUE(holdsMarker(original));
        MemoryFile file(original);
        Failure fault;
        ASSERT_TRUE(applyCfbWrite(file, c, &fault)) << c.label << " " << fault.text();
        EXPECT_FALSE(holdsMarker(file.bytes())) << c.label;

        const auto asText = [](const std::vector<std::byte>& bytes) {
            return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        };
        writeFileBytes(scratch.path() / "before.cfb", asText(original));
        writeFileBytes(scratch.path() / "after.cfb", asText(file.bytes()));
        const auto verdict = olefileCompare(scratch.path() / "before.cfb", scratch.path() / "after.cfb");
        ASSERT_FALSE(verdict.is_null());
        EXPECT_TRUE(verdict["new_opens"].get<bool>()) << c.label << " " << verdict.dump();
        EXPECT_EQ(verdict["missing"], nlohmann::json::array()) << c.label;
        EXPECT_EQ(verdict[c.create ? "added" : "changed"], nlohmann::json::array({olefileName(c.target)})) << c.label;
        EXPECT_EQ(verdict[c.create ? "changed" : "added"], nlohmann::json::array()) << c.label;
    }
}

// A FAT whose every entry is taken: the write needs a new FAT sector, which with 109 FAT
// sectors needs the first DIFAT sector (the header's slots are full), and with 236 the second
// (the first DIFAT sector is full too). olefile checks the DIFAT count and chain strictly.
TEST(CfbWrite, FullFatGainsAFatSectorAndADifatSector)
{
    struct Case {
        std::uint32_t fatSectors;
        std::uint32_t difatSectorsAfter;
    };
    for (const Case& full : {Case{109, 1}, Case{236, 2}}) {
        CfbLayout layout;
        layout.streams = {{u"\x05SummaryInformation", patternBytes(300, 1)}, {u"Current User", patternBytes(60, 2)}};
        layout.fullFatSectors = full.fatSectors;
        const std::vector<std::byte> original = buildCompoundFile(layout);
        MemoryFile file(original);
        ASSERT_GT(file.bytes().size(), 7'000'000u);
        const auto before = readRootStreams(file);
        ASSERT_TRUE(before) << full.fatSectors;
        const CfbWriteCase c{"FullFat" + std::to_string(full.fatSectors), layout, u"\x05SummaryInformation",
                             patternBytes(9000, 3)};
        Failure fault;
        ASSERT_TRUE(applyCfbWrite(file, c, &fault)) << c.label << " " << fault.text();
        expectWritten(*before, readRootStreams(file), c);
        auto reopened = cfb::CompoundFile::open(file);
        ASSERT_TRUE(reopened.ok()) << c.label << " " << reopened.failure().text();
        EXPECT_EQ(reopened.value().header().numFatSectors, full.fatSectors + 1) << c.label;
        EXPECT_EQ(reopened.value().header().numDifatSectors, full.difatSectorsAfter) << c.label;
        EXPECT_EQ(reopened.value().header().firstDifatSector, reopened.value().fat().difatSectorIds().front()) << c.label;

        ScratchDir scratch;
        const auto asText = [](const std::vector<std::byte>& bytes) {
            return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        };
        writeFileBytes(scratch.path() / "before.cfb", asText(original));
        writeFileBytes(scratch.path() / "after.cfb", asText(file.bytes()));
        const auto verdict = olefileCompare(scratch.path() / "before.cfb", scratch.path() / "after.cfb");
        ASSERT_FALSE(verdict.is_null());
        EXPECT_TRUE(verdict["new_opens"].get<bool>()) << c.label << " " << verdict.dump();
        EXPECT_EQ(verdict["changed"], nlohmann::json::array({"\x05SummaryInformation"})) << c.label;
    }
}

}  // namespace
}  // namespace quorvane::testing
