// The reason a .ppt row read or write gives, each produced by the real condition on a real file:
// a lock held by another process, a full device, a damaged compound file, a missing file, a
// folder, a read-only file, text that the set's code page cannot hold. Checked at the level of
// document::readRows / writeRows, which the change engine and the display use.
#include <gtest/gtest.h>


#include <filesystem>
#include <functional>
#include <string>

#include "base/failure.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "document/document_rows.h"
#include "document/ppt_rows.h"
#include "tests/support/corpus.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kTitleRow = 0;
// SummaryInformation and DocumentSummaryInformation declare code page 1252.
constexpr const char* kLatin1Deck = "38256.ppt";

Failure writeTitle(const std::string& path, const std::string& title)
{
    props::RowTexts texts;
    props::RowSelection selected{};
    texts[kTitleRow] = title;
    selected[kTitleRow] = true;
    return document::writeRows(path, texts, selected);
}

struct ReasonCase {
    std::string label;
    // Makes the condition; returns the path to read and write. `keep` holds what must outlive
    // the checks (a lock holder).
    std::function<std::string(ScratchDir&, std::unique_ptr<LockHoldingChild>& keep)> prepare;
    std::string title;            // the text written into the title row
    bool readFails;               // whether readRows fails too, with the same reason
    FailureKind kind;
    std::string text;
};

TEST(PptFailureReason, EachConditionGivesItsReasonOnReadAndWrite)
{
    QUORVANE_REQUIRE_CORPUS();
    const auto copyWith = [](ScratchDir& scratch, auto change) {
        const fs::path path = scratch.copyOfCorpusFile(kLatin1Deck);
        std::string bytes = readFileBytes(path);
        change(bytes);
        writeFileBytes(path, bytes);
        return path.string();
    };
    const std::vector<ReasonCase> cases{
        {"lock held by another process",
         [](ScratchDir& scratch, auto& keep) {
             const std::string path = scratch.copyOfCorpusFile(kLatin1Deck).string();
             keep = std::make_unique<LockHoldingChild>(path, true);
             EXPECT_TRUE(keep->holding()) << "the child could not take its lock";
             return path;
         },
         "New title", true, FailureKind::Locked, "in use by another program"},
        {"header cut short",
         [&](ScratchDir& scratch, auto&) { return copyWith(scratch, [](std::string& b) { b.resize(300); }); },
         "New title", true, FailureKind::Damaged, "damaged compound file: shorter than its 512-byte header"},
        {"bad signature",
         [&](ScratchDir& scratch, auto&) { return copyWith(scratch, [](std::string& b) { b[0] = 'P'; }); },
         "New title", true, FailureKind::Damaged, "damaged compound file: bad header signature"},
        {"directory chain leaves the file",
         [&](ScratchDir& scratch, auto&) {
             // [MS-CFB] 2.2: firstDirSector, at 0x30, pointed far past the end of the file.
             return copyWith(scratch, [](std::string& b) { b[0x30] = b[0x31] = b[0x32] = b[0x33] = '\x7F'; });
         },
         "New title", true, FailureKind::Damaged, "damaged compound file: the FAT chain of the directory is broken or loops"},
        {"missing file", [](ScratchDir& scratch, auto&) { return (scratch.path() / "absent.ppt").string(); },
         "New title", true, FailureKind::NotFound, "no such file"},
        {"folder",
         [](ScratchDir& scratch, auto&) {
             fs::create_directory(scratch.path() / "folder.ppt");
             return (scratch.path() / "folder.ppt").string();
         },
         "New title", true, FailureKind::NotRegularFile, "not a regular file"},
        {"read-only file",
         [](ScratchDir& scratch, auto&) {
             const fs::path path = scratch.copyOfCorpusFile(kLatin1Deck);
             fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
             return path.string();
         },
         "New title", false, FailureKind::ReadOnly, "read-only"},
        {"text outside code page 1252",
         [](ScratchDir& scratch, auto&) { return scratch.copyOfCorpusFile(kLatin1Deck).string(); },
         "\xE4\xB8\xAD\xE6\x96\x87", false, FailureKind::Conversion, "text cannot be stored in code page 1252"},
    };
    for (const ReasonCase& c : cases) {
        ScratchDir scratch;
        std::unique_ptr<LockHoldingChild> keep;
        const std::string path = c.prepare(scratch, keep);
        const std::string before = readFileBytes(path);

        const auto rows = document::readRows(path);
        if (c.readFails) {
            EXPECT_FALSE(rows.ok()) << c.label;
            EXPECT_EQ(rows.failure().kind(), c.kind) << c.label;
            EXPECT_EQ(rows.failure().text(), c.text) << c.label;
        } else {
            EXPECT_TRUE(rows.ok()) << c.label << ": " << rows.failure().text();
        }
        const Failure written = writeTitle(path, c.title);
        EXPECT_EQ(written.kind(), c.kind) << c.label << ": " << written.text();
        EXPECT_EQ(written.text(), c.text) << c.label;
        EXPECT_EQ(readFileBytes(path), before) << c.label << ": a refused write changed the file";
    }
}

TEST(PptFailureReason, AFailedChangeWritesExactlyTheRowsBeforeTheFirstRowThatCannotBeWritten)
{
    QUORVANE_REQUIRE_CORPUS();
    constexpr int kSubjectRow = 1, kManagerRow = 8;
    const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87";
    const std::string printed = convert::DateTimeToDisplayText(*convert::encodeDateTime({2020, 1, 1, 10, 0, 0, 0}));
    const std::string before1601 = convert::DateTimeToDisplayText(*convert::encodeDateTime({1500, 1, 1}));
    struct Case {
        std::string label;
        std::vector<std::pair<int, std::string>> rows;  // in catalogue order
        int failingRow;
        std::string reason;
    };
    const std::vector<Case> cases{
        // The failing row lies in DocumentSummaryInformation, between two SummaryInformation rows.
        {"Manager outside 1252", {{kTitleRow, "NEW"}, {kManagerRow, chinese}, {props::kLastPrintedRow, printed}},
         kManagerRow, "text cannot be stored in code page 1252"},
        // The failing row comes after a row of its own set.
        {"Subject outside 1252", {{kTitleRow, "NEW"}, {kSubjectRow, chinese}}, kSubjectRow,
         "text cannot be stored in code page 1252"},
        {"Created before 1601", {{kTitleRow, "NEW"}, {kManagerRow, "Boss"}, {props::kCreatedRow, before1601},
                                 {props::kLastPrintedRow, printed}},
         props::kCreatedRow, "date before 1601 cannot be stored"},
    };
    for (const Case& c : cases) {
        ScratchDir scratch;
        const std::string path = scratch.copyOfCorpusFile(kLatin1Deck).string();
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
        const props::RowTexts old = document::readPptRows(path);
        props::RowTexts texts;
        props::RowSelection selected{};
        for (const auto& [row, text] : c.rows) {
            texts[std::size_t(row)] = text;
            selected[std::size_t(row)] = true;
        }
        const Failure written = document::writeRows(path, texts, selected);
        EXPECT_EQ(written.kind(), FailureKind::Conversion) << c.label;
        EXPECT_EQ(written.text(), c.reason) << c.label;
        const props::RowTexts now = document::readPptRows(path);
        for (const auto& [row, text] : c.rows)
            EXPECT_EQ(now[std::size_t(row)], row < c.failingRow ? text : old[std::size_t(row)]) << c.label << ", row " << row;
    }
}

TEST(PptFailureReason, FullDeviceGivesNoSpaceAndKeepsTheOldTitle)
{
    QUORVANE_REQUIRE_CORPUS();
    const fs::path source = corpusDir() / "files" / kLatin1Deck;
    const std::string oldTitle = document::readPptRows(source.string())[kTitleRow];
    const auto outcome = runOnPrivateMount("tmpfs", "size=1M", [&](const fs::path& device) -> std::string {
        const fs::path deck = device / kLatin1Deck;
        std::error_code error;
        if (!fs::copy_file(source, deck, error)) return "the copy failed: " + error.message();
        fs::permissions(deck, fs::perms::owner_write, fs::perm_options::add, error);
        // Two million bytes: far more new sectors than the 1 MiB device has room for.
        const Failure written = writeTitle(deck.string(), std::string(2'000'000, 'x'));
        if (written.kind() != FailureKind::NoSpace || written.text() != "no space left on the device")
            return "the reason was: " + written.text();
        return document::readPptRows(deck.string())[kTitleRow] == oldTitle ? "" : "the title changed";
    });
    if (!outcome) GTEST_SKIP() << "a private mount namespace with a tmpfs is not permitted here";
    EXPECT_EQ(*outcome, "");
}

}  // namespace
}  // namespace quorvane::testing
