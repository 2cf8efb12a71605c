// SPDX-License-Identifier: Apache-2.0
// A .ppt whose property set or directory is damaged (built with tests/support/cfb_builder.h and
// then broken), through quorvane-cli: show and export report the damage with the reason a dry
// run of a change gives for the same file, and exit 1, rather than show values read from the
// wrong bytes (the code page as the title) or none.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "props/catalogue.h"
#include "propset/propset_writer.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/cfb_builder.h"

namespace quorvane::testing {
namespace {

using Bytes = std::vector<std::byte>;

// [MS-OLEPS] 2.20-2.21 as propset::newPropertySet lays a one-section set out: the section at 48,
// its property count at 52, then the table: code page (id 1) at 56, the title (id 2) at 64,
// each id followed by its value's offset.
constexpr std::size_t kSectionCount = 24, kPropertyCount = 52, kCodePageOffset = 60, kTitleOffset = 68;
// [MS-CFB] 2.2, 2.6.1: the header's first directory sector; an entry's right sibling and child.
constexpr std::size_t kFirstDirSector = 0x30, kRightSibling = 0x48, kChild = 0x4C;

Bytes summaryInformation()
{
    Bytes title;
    for (const char c : std::string("Deck title")) title.insert(title.end(), {std::byte(c), std::byte{0}});
    return propset::newPropertySet(props::fmtidOfSelector(props::kSummaryInformation), 2,
                                   propset::typedCodePageString(title, 1200));
}

Bytes deck(const std::function<void(Bytes&)>& breakSummary)
{
    Bytes summary = summaryInformation();
    breakSummary(summary);
    CfbLayout layout;
    layout.streams = {{u"\x05SummaryInformation", summary}, {u"PowerPoint Document", patternBytes(3000, 5)}};
    return buildCompoundFile(layout);
}

// The reason the tool gives for `path` on its error output ("quorvane-cli: PATH: [failed: ]REASON
// [; no line written]"), "" when it names none.
std::string reasonOf(const std::string& err, const std::string& path)
{
    const std::string lead = "quorvane-cli: " + path + ": ";
    const std::size_t at = err.find(lead);
    if (at == std::string::npos) return "";
    std::string reason = err.substr(at + lead.size(), err.find('\n', at) - at - lead.size());
    if (reason.starts_with("failed: ")) reason.erase(0, 8);
    if (const std::size_t tail = reason.find("; no line written"); tail != std::string::npos) reason.erase(tail);
    return reason;
}

TEST_F(Cli, ADamagedPropertySetOrDirectoryIsReportedByEveryReaderAsTheWriterReportsIt)
{
    const auto unchanged = [](Bytes&) {};
    struct Case {
        const char* label;
        Bytes bytes;
        const char* reason;
    };
    Bytes selfSibling = deck(unchanged);
    {
        // The root's first child names itself as its right sibling.
        const std::size_t directory = (std::size_t(readU32(selfSibling, kFirstDirSector)) + 1) * 512;
        const std::uint32_t firstChild = readU32(selfSibling, directory + kChild);
        writeU32(selfSibling, directory + 128 * firstChild + kRightSibling, firstChild);
    }
    const std::vector<Case> cases{
        {"title sharing the code page's value",
         deck([](Bytes& s) { writeU32(s, kTitleOffset, readU32(s, kCodePageOffset)); }),
         "damaged property set: two properties of its first section share one value"},
        {"huge property count", deck([](Bytes& s) { writeU32(s, kPropertyCount, 0x10000000); }),
         "damaged property set: the property table of its first section runs past the section"},
        {"huge section count", deck([](Bytes& s) { writeU32(s, kSectionCount, 0xFFFFFFFF); }),
         "damaged property set: its header or section list is broken"},
        {"title offset into the table", deck([](Bytes& s) { writeU32(s, kTitleOffset, 8); }),
         "damaged property set: a value offset of its first section lies outside the section's values"},
        {"directory sibling pointing to itself", selfSibling,
         "damaged compound file: a directory entry is out of range or the directory tree loops"},
        {"empty file", {}, "not a presentation: the file is empty"},
    };
    const Bytes sound = deck(unchanged);
    const std::string soundPath = (scratch_.path() / "sound.ppt").string();
    writeFileBytes(soundPath, std::string(reinterpret_cast<const char*>(sound.data()), sound.size()));
    const CliRun soundShow = run({"show", soundPath});
    ASSERT_EQ(soundShow.status, 0) << soundShow.err;
    ASSERT_NE(soundShow.out.find("\nTitle: Deck title\n"), std::string::npos) << soundShow.out;

    for (const Case& c : cases) {
        const std::string path = (scratch_.path() / "damaged.ppt").string();
        writeFileBytes(path, std::string(reinterpret_cast<const char*>(c.bytes.data()), c.bytes.size()));
        const CliRun planned = run({"set", "--dry-run", "--title", "New", path});
        EXPECT_EQ(planned.status, 1) << c.label;
        EXPECT_EQ(reasonOf(planned.err, path), c.reason) << c.label << ": " << planned.err;
        for (const std::vector<std::string>& reader : {std::vector<std::string>{"show", path}, {"export", path}}) {
            const CliRun read = run(reader);
            EXPECT_EQ(read.status, 1) << c.label << ", " << reader[0] << ": " << read.out;
            EXPECT_EQ(reasonOf(read.err, path), c.reason) << c.label << ", " << reader[0] << ": " << read.err;
        }
    }
}

}  // namespace
}  // namespace quorvane::testing
