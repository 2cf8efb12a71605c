// SPDX-License-Identifier: Apache-2.0
// The reason a .ppt read or change gives, each produced by the real condition on a real file: a
// lock held by another process, a full device, a damaged compound file, a missing file, a folder,
// a value that the file cannot hold. Checked through the one read the display makes of a file
// (document::DocumentEdit) and the one change path (change::applyFileChange): a refused change
// leaves the file byte for byte as it was, whichever of the rows asked could have been stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "base/failure.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "tests/support/content_change.h"
#include "tests/support/corpus.h"
#include "tests/support/document_reads.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kTitleRow = 0, kSubjectRow = 1, kManagerRow = 8;
// SummaryInformation and DocumentSummaryInformation declare code page 1252.
constexpr const char* kLatin1Deck = "38256.ppt";

std::string displayText(const convert::CalendarFields& fields)
{
    return convert::DateTimeToDisplayText(*convert::encodeDateTime(fields));
}

struct ReasonCase {
    std::string label;
    // Makes the condition; returns the path to read and change. `keep` holds what must outlive
    // the checks (a lock holder).
    std::function<std::string(ScratchDir&, std::unique_ptr<LockHoldingChild>& keep)> prepare;
    RowTextChanges rows;  // the change asked
    bool readFails;       // whether the read fails too, with the same reason
    FailureKind kind;
    std::string text;
};

TEST(PptFailureReason, EachConditionGivesItsReasonAndARefusedChangeWritesNothing)
{
    QUORVANE_REQUIRE_CORPUS();
    const auto copyWith = [](ScratchDir& scratch, auto change) {
        const fs::path path = scratch.copyOfCorpusFile(kLatin1Deck);
        std::string bytes = readFileBytes(path);
        change(bytes);
        writeFileBytes(path, bytes);
        return path.string();
    };
    const auto deck = [](ScratchDir& scratch, auto&) { return scratch.copyOfCorpusFile(kLatin1Deck).string(); };
    const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87";
    const std::string printed = displayText({2020, 1, 1, 10, 0, 0, 0});
    const RowTextChanges newTitle{{kTitleRow, "New title"}};
    // The refusal names the property and the first character that has no form in the page.
    const auto notIn1252 = [](const std::string& label) { return label + ": \"\xE4\xB8\xAD\" (U+4E2D) cannot be stored in code page 1252"; };
    const std::vector<ReasonCase> cases{
        {"lock held by another process",
         [](ScratchDir& scratch, auto& keep) {
             const std::string path = scratch.copyOfCorpusFile(kLatin1Deck).string();
             keep = std::make_unique<LockHoldingChild>(path, true);
             EXPECT_TRUE(keep->holding()) << "the child could not take its lock";
             return path;
         },
         newTitle, true, FailureKind::Locked, "in use by another program"},
        {"header cut short",
         [&](ScratchDir& scratch, auto&) { return copyWith(scratch, [](std::string& b) { b.resize(300); }); },
         newTitle, true, FailureKind::Damaged, "damaged compound file: shorter than its 512-byte header"},
        {"bad signature",
         [&](ScratchDir& scratch, auto&) { return copyWith(scratch, [](std::string& b) { b[0] = 'P'; }); },
         newTitle, true, FailureKind::Unsupported,
         "not a presentation: it begins with neither the signature of a compound file nor that of a ZIP archive"},
        {"directory chain leaves the file",
         [&](ScratchDir& scratch, auto&) {
             // [MS-CFB] 2.2: firstDirSector, at 0x30, pointed far past the end of the file.
             return copyWith(scratch, [](std::string& b) { b[0x30] = b[0x31] = b[0x32] = b[0x33] = '\x7F'; });
         },
         newTitle, true, FailureKind::Damaged, "damaged compound file: the FAT chain of the directory is broken or loops"},
        {"missing file", [](ScratchDir& scratch, auto&) { return (scratch.path() / "absent.ppt").string(); },
         newTitle, true, FailureKind::NotFound, "no such file"},
        {"folder",
         [](ScratchDir& scratch, auto&) {
             fs::create_directory(scratch.path() / "folder.ppt");
             return (scratch.path() / "folder.ppt").string();
         },
         newTitle, true, FailureKind::NotRegularFile, "not a regular file"},
        // The refused row lies in DocumentSummaryInformation, between two rows of SummaryInformation
        // that could be stored.
        {"Manager outside 1252 between two storable rows", deck,
         {{kTitleRow, "NEW"}, {kManagerRow, chinese}, {props::kLastPrintedRow, printed}}, false, FailureKind::Conversion,
         notIn1252("Manager")},
        // The refused row comes after a storable row of its own set.
        {"Subject outside 1252 after the title", deck, {{kTitleRow, "NEW"}, {kSubjectRow, "Caf\xC3\xA9 " + chinese}}, false,
         FailureKind::Conversion, notIn1252("Subject")},
        {"Created before 1601 among storable rows of both sets", deck,
         {{kTitleRow, "NEW"}, {kManagerRow, "Boss"}, {props::kCreatedRow, displayText({1500, 1, 1})},
          {props::kLastPrintedRow, printed}},
         false, FailureKind::Conversion,
         "Create Time/Date cannot be stored: a date must lie from 1601-01-01 00:00:01 to 9999-12-31 23:59:59 UTC"},
        {"Created that is no date", deck, {{kTitleRow, "NEW"}, {props::kCreatedRow, "not a date"}}, false,
         FailureKind::Conversion, "'not a date' is not a valid date and time"},
    };
    for (const ReasonCase& c : cases) {
        ScratchDir scratch;
        std::unique_ptr<LockHoldingChild> keep;
        const std::string path = c.prepare(scratch, keep);
        const std::string before = readFileBytes(path);

        const auto rows = documentRowsOrFailure(path);
        if (c.readFails) {
            EXPECT_FALSE(rows.ok()) << c.label;
            EXPECT_EQ(rows.failure().kind(), c.kind) << c.label;
            EXPECT_EQ(rows.failure().text(), c.text) << c.label;
        } else {
            EXPECT_TRUE(rows.ok()) << c.label << ": " << rows.failure().text();
        }
        const Failure changed = changeRows(path, c.rows);
        EXPECT_EQ(changed.kind(), c.kind) << c.label << ": " << changed.text();
        EXPECT_EQ(changed.text(), c.text) << c.label;
        EXPECT_EQ(readFileBytes(path), before) << c.label << ": a refused change altered the file";
    }
}

TEST(PptFailureReason, FullDeviceGivesNoSpaceAndKeepsTheFile)
{
    QUORVANE_REQUIRE_CORPUS();
    const fs::path source = corpusDir() / "files" / kLatin1Deck;
    const std::string original = readFileBytes(source);
    const auto outcome = runOnPrivateMount("tmpfs", "size=1M", [&](const fs::path& device) -> std::string {
        const fs::path deck = device / kLatin1Deck;
        std::error_code error;
        if (!fs::copy_file(source, deck, error)) return "the copy failed: " + error.message();
        fs::permissions(deck, fs::perms::owner_write, fs::perm_options::add, error);
        // Two million bytes: far more new sectors than the 1 MiB device has room for.
        const Failure changed = changeRows(deck.string(), {{kTitleRow, std::string(2'000'000, 'x')}});
        if (changed.kind() != FailureKind::NoSpace || changed.text() != "no space left on the device")
            return "the reason was: " + changed.text();
        return readFileBytes(deck) == original ? "" : "the file changed";
    });
    if (!outcome) GTEST_SKIP() << "a private mount namespace with a tmpfs is not permitted here";
    EXPECT_EQ(*outcome, "");
}

}  // namespace
}  // namespace quorvane::testing
