// SPDX-License-Identifier: Apache-2.0
// The property writes on real files, through the property operations and the change path: what
// each value type stores, conversion errors that leave the file untouched, text in the code pages
// the corpus uses, a set created where none was, growth across the mini-stream cutoff and past the
// header's DIFAT slots, and the values and files a write must refuse (locked, read-only, not a
// compound file), which stay byte for byte.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "props/catalogue.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "base/error.h"
#include "document/ppt_rows.h"
#include "propset/property_set_access.h"
#include "propset/propset_writer.h"
#include "base/random_access_file.h"
#include "tests/support/cfb_builder.h"
#include "tests/support/cfb_olefile.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/content_change.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"
#include "tests/support/zip_python_check.h"

namespace quorvane::propset {
namespace {

namespace fs = std::filesystem;
using testing::readFileBytes;

const props::Fmtid& si() { return props::fmtidOfSelector(props::kSummaryInformation); }
const props::Fmtid& dsi() { return props::fmtidOfSelector(props::kDocumentSummaryInformation); }

class PptWrite : public ::testing::Test {
protected:
    void SetUp() override { QUORVANE_REQUIRE_CORPUS(); }
    // A writable copy of a corpus file.
    std::string copyOf(const std::string& name)
    {
        const fs::path path = scratch_.copyOfCorpusFile(name);
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
        return path.string();
    }
    propset::PropertyValue stored(const std::string& path, const props::Fmtid& fmtid, std::uint32_t id)
    {
        const auto sets = readPropertySets(path, std::span(&fmtid, 1));
        EXPECT_TRUE(sets.ok() && sets->front()) << path << ": " << sets.failure().text();
        const auto value = sets.ok() && sets->front() ? sets->front()->property(id) : std::nullopt;
        EXPECT_TRUE(value) << path << " property " << id;
        return value.value_or(PropertyValue{});
    }
    // The rows as the .ppt reader reads them; all "" (and a failed check) when it cannot.
    props::RowTexts rowsOf(const std::string& path)
    {
        const auto rows = document::readPptRows(path);
        EXPECT_TRUE(rows.ok()) << path << ": " << rows.failure().text();
        return rows.ok() ? *rows : props::RowTexts{};
    }
    // Changes the rows through the change path; false (and a failed check) when refused.
    bool changed(const std::string& path, const testing::RowTextChanges& rows)
    {
        const Failure failure = testing::changeRows(path, rows);
        EXPECT_FALSE(failure.failed()) << path << ": " << failure.text();
        return !failure.failed();
    }
    testing::ScratchDir scratch_;
};

std::vector<std::byte> bytesOf(std::initializer_list<int> values)
{
    std::vector<std::byte> bytes;
    for (const int v : values) bytes.push_back(std::byte(v));
    return bytes;
}

TEST_F(PptWrite, EachValueTypeStoresWhatItShould)
{
    const std::string path = copyOf("37625.ppt");
    struct Case {
        std::uint32_t id;
        std::string text;
        std::uint16_t type;
        bool duration;
        std::uint16_t storedType;
        std::vector<std::byte> storedData;
        std::string readBack;
    };
    const std::vector<Case> cases{
        {10, "90", props::kVtFiletime, true, props::kVtFiletime, bytesOf({0x00, 0x9C, 0xA6, 0x92, 0x0C, 0, 0, 0}), "90"},
        {10, "abc", props::kVtFiletime, true, props::kVtFiletime, bytesOf({0, 0, 0, 0, 0, 0, 0, 0}), "0"},
        {10, "", props::kVtFiletime, true, propset::kVtNull, {}, ""},
        {11, "", props::kVtFiletime, false, kVtNull, {}, ""},
        {2, "", props::kVtLpstr, false, props::kVtLpstr, bytesOf({1, 0, 0, 0, 0, 0, 0, 0}), ""},
        {3, "Wide", propset::kVtLpwstr, false, kVtLpwstr, bytesOf({5, 0, 0, 0, 'W', 0, 'i', 0, 'd', 0, 'e', 0, 0, 0, 0, 0}), "Wide"},
        {4, "-42", propset::kVtInt, false, kVtInt, bytesOf({0xD6, 0xFF, 0xFF, 0xFF}), "-42"},
    };
    for (const Case& c : cases) {
        const bool written = c.duration ? propset::WriteEditTimeProperty(path, si(), c.id, c.text, c.type)
                                        : propset::WriteDocProperty(path, si(), c.id, c.text, c.type);
        ASSERT_TRUE(written) << c.id << " '" << c.text << "'";
        const propset::PropertyValue value = stored(path, si(), c.id);
        EXPECT_EQ(value.type, c.storedType) << c.id << " '" << c.text << "'";
        EXPECT_TRUE(std::equal(c.storedData.begin(), c.storedData.end(), value.data.begin()) &&
                    value.data.size() >= c.storedData.size())
            << c.id << " '" << c.text << "'";
        const std::string read = c.duration ? propset::ReadEditTimeProperty(path, si(), c.id) : propset::ReadDocProperty(path, si(), c.id);
        EXPECT_EQ(read, c.readBack) << c.id << " '" << c.text << "'";
    }
}

TEST_F(PptWrite, DatesAreStoredAsUtcAndTheDurationReadShowsTheSameValueInMinutes)
{
    const std::string path = copyOf("37625.ppt");
    const std::string text = convert::DateTimeToDisplayText(*convert::encodeDateTime({2008, 6, 1, 12, 0, 0, 0}));
    ASSERT_TRUE(propset::WriteDocProperty(path, si(), 12, text, props::kVtFiletime));
    EXPECT_EQ(propset::ReadDocProperty(path, si(), 12), text);
    const propset::PropertyValue value = stored(path, si(), 12);
    ASSERT_GE(value.data.size(), 8u);
    std::uint64_t fileTime = 0;
    for (int i = 7; i >= 0; --i) fileTime = fileTime << 8 | std::to_integer<std::uint64_t>(value.data[std::size_t(i)]);
    EXPECT_EQ(fileTime, convert::DateTimeToUtcFileTime(convert::DisplayTextToDateTime(text)));
    EXPECT_EQ(propset::ReadEditTimeProperty(path, si(), 12), std::to_string((fileTime + 300'000'000) / 600'000'000));
}

TEST_F(PptWrite, PropertyDatesWithoutAFiletimeThatReadsBackAreRefused)
{
    // A fixed zone five hours west of UTC: UTC = local time + 5 h at every date.
    testing::TimeZoneGuard zone("EST5");
    const std::string path = copyOf("37625.ppt");
    const auto text = [](const convert::CalendarFields& fields) { return convert::DateTimeToDisplayText(*convert::encodeDateTime(fields)); };
    struct Case {
        std::string text;
        bool stored;  // and reads back
    };
    const std::vector<Case> cases{
        {text({1500, 1, 1}), false},
        {text({1600, 12, 31, 19, 0, 0, 0}), false},  // FILETIME 0: "no date"
        {text({1600, 12, 31, 19, 0, 1, 0}), true},
        {text({9999, 12, 31, 18, 59, 59, 0}), true},
        {text({9999, 12, 31, 19, 0, 0, 0}), false},
    };
    for (const Case& c : cases) {
        const std::string before = readFileBytes(path);
        const Failure written = testing::changeRows(path, {{props::kCreatedRow, c.text}});
        EXPECT_EQ(written.text(), c.stored ? "" : "Create Time/Date cannot be stored: a date must lie from 1601-01-01 00:00:01 to 9999-12-31 23:59:59 UTC")
            << c.text;
        if (c.stored) {
            EXPECT_EQ(ReadDocProperty(path, si(), 12), c.text);
        } else {
            EXPECT_EQ(written.kind(), FailureKind::Conversion) << c.text;
            EXPECT_FALSE(WriteDocProperty(path, si(), 12, c.text, props::kVtFiletime)) << c.text;
            EXPECT_EQ(readFileBytes(path), before) << c.text;
        }
    }
}

// The properties of the first section of SummaryInformation as olefile reads them, and their ids
// and value bytes as our reader reads them, in table order.
struct SummaryProperties {
    nlohmann::json olefile;
    std::vector<std::pair<std::uint32_t, std::vector<std::byte>>> values;
};

SummaryProperties summaryProperties(const fs::path& path)
{
    SummaryProperties read;
    read.olefile = testing::olefileCompare(path, path)["props"]["SummaryInformation"];
    const auto set = readPropertySets(path.string(), std::span(&si(), 1));
    EXPECT_TRUE(set.ok() && set->front()) << path;
    if (!set.ok() || !set->front()) return read;
    const PropertySetContent& content = *set->front();
    for (const PropertyEntry& entry : content.firstSection.entries)
        read.values.emplace_back(entry.id, content.property(entry.id).value_or(PropertyValue{}).data);
    return read;
}

TEST_F(PptWrite, AnEmptyLastPrintedOrEditingTimeRemovesItsPropertyAndAddsNothing)
{
    constexpr std::uint32_t kEditTimeId = 10, kLastPrintedId = 11;
    struct Case {
        std::string file;      // a corpus file, or "" for a built file without SummaryInformation
        std::vector<int> rows;
        bool changes;          // whether the file holds any of the properties
    };
    const std::vector<Case> cases{
        {"37625.ppt", {props::kTotalEditingTimeRow, props::kLastPrintedRow}, true},  // holds both
        {"38256.ppt", {props::kLastPrintedRow}, false},                              // holds no 11
        {"38256.ppt", {props::kTotalEditingTimeRow, props::kLastPrintedRow}, true},
        {"", {props::kTotalEditingTimeRow, props::kLastPrintedRow}, false},
    };
    for (const Case& c : cases) {
        const std::string label = (c.file.empty() ? "no SummaryInformation" : c.file) + " rows " + std::to_string(c.rows.size());
        std::string path;
        if (c.file.empty()) {
            testing::CfbLayout layout;
            layout.streams = {{u"PowerPoint Document", testing::patternBytes(5000, 1)}};
            const auto bytes = testing::buildCompoundFile(layout);
            path = (scratch_.path() / "bare.ppt").string();
            testing::writeFileBytes(path, std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        } else {
            path = copyOf(c.file);
        }
        const std::string beforeBytes = readFileBytes(path);
        const fs::path before = scratch_.path() / "before.ppt";
        testing::writeFileBytes(before, beforeBytes);
        testing::RowTextChanges blanks;
        for (const int row : c.rows) blanks.emplace_back(row, "");
        ASSERT_TRUE(changed(path, blanks)) << label;
        const props::RowTexts rows = rowsOf(path);
        for (const int row : c.rows) EXPECT_EQ(rows[std::size_t(row)], "") << label << " row " << row;
        if (!c.changes) {
            EXPECT_EQ(readFileBytes(path), beforeBytes) << label << ": nothing to remove, yet the file changed";
            continue;
        }
        const auto verdict = testing::olefileCompare(before, path);
        if (verdict.is_null()) GTEST_SKIP() << "olefile is not available";
        EXPECT_TRUE(verdict["new_opens"].get<bool>()) << label;
        EXPECT_EQ(verdict["changed"], nlohmann::json::array({"\x05SummaryInformation"})) << label << ": only it may change";
        EXPECT_TRUE(verdict["missing"].empty() && verdict["added"].empty()) << label;

        // olefile finds no VT_NULL (nor any value) under the removed ids, and every other
        // property as before; our reader finds the other ids in the same order with the same bytes.
        SummaryProperties old = summaryProperties(before), now = summaryProperties(path);
        std::vector<std::uint32_t> removed;
        for (const int row : c.rows) removed.push_back(row == props::kLastPrintedRow ? kLastPrintedId : kEditTimeId);
        for (const std::uint32_t id : removed) {
            EXPECT_FALSE(now.olefile.contains(std::to_string(id))) << label << " property " << id;
            old.olefile.erase(std::to_string(id));
            std::erase_if(old.values, [id](const auto& value) { return value.first == id; });
        }
        EXPECT_EQ(now.olefile, old.olefile) << label;
        EXPECT_EQ(now.values, old.values) << label;
    }
}

TEST_F(PptWrite, ConversionErrorsPassToTheCallerAndLeaveTheFileUntouched)
{
    const std::string path = copyOf("37625.ppt");
    const std::string before = readFileBytes(path);
    struct Case {
        std::uint16_t type;
        std::string text;
        std::string message;
    };
    for (const Case& c : {Case{props::kVtFiletime, "not a date", "'not a date' is not a valid date and time"},
                          Case{propset::kVtInt, "12x", "'12x' is not a valid integer value"},
                          Case{kVtInt, "", "'' is not a valid integer value"}}) {
        try {
            propset::WriteDocProperty(path, si(), 12, c.text, c.type);
            ADD_FAILURE() << "no error for '" << c.text << "'";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
        EXPECT_EQ(readFileBytes(path), before) << c.text;
    }
    // The duration write reads a bad minutes text as 0 and does not throw.
    EXPECT_TRUE(propset::WriteEditTimeProperty(path, si(), 10, "not minutes", props::kVtFiletime));
    EXPECT_EQ(propset::ReadEditTimeProperty(path, si(), 10), "0");
}

TEST_F(PptWrite, TextIsStoredInTheCodePageOfTheSet)
{
    struct Case {
        std::string file;
        std::uint16_t codePage;
        std::string text;
        std::vector<std::byte> encoded;  // without the terminator
    };
    const std::vector<Case> cases{
        {"37625.ppt", 1252, "Grüße", bytesOf({'G', 'r', 0xFC, 0xDF, 'e'})},
        {"42474-1.ppt", 1251, "Привет", bytesOf({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2})},
        {"54880_chinese.ppt", 932, "日本", bytesOf({0x93, 0xFA, 0x96, 0x7B})},
        {"54722.ppt", 65001, "日本", bytesOf({0xE6, 0x97, 0xA5, 0xE6, 0x9C, 0xAC})},
        {"TestNon4ByteBoundary.doc", 1200, "日本", bytesOf({0xE5, 0x65, 0x2C, 0x67})},
    };
    for (const Case& c : cases) {
        const std::string path = copyOf(c.file);
        ASSERT_TRUE(propset::WriteDocProperty(path, si(), 2, c.text, props::kVtLpstr)) << c.file;
        EXPECT_EQ(propset::ReadDocProperty(path, si(), 2), c.text) << c.file;
        const propset::PropertyValue value = stored(path, si(), 2);
        EXPECT_EQ(value.codePage, c.codePage) << c.file;
        EXPECT_EQ(value.type, props::kVtLpstr) << c.file;
        const std::size_t terminator = c.codePage == 1200 ? 2 : 1;
        std::vector<std::byte> expected = bytesOf({int(c.encoded.size() + terminator), 0, 0, 0});
        expected.insert(expected.end(), c.encoded.begin(), c.encoded.end());
        expected.insert(expected.end(), terminator, std::byte{0});
        ASSERT_GE(value.data.size(), expected.size()) << c.file;
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), value.data.begin())) << c.file;
    }
}

// bug45908.ppt's SummaryInformation declares no code page and holds UTF-16 text only: the page
// 1200 declared with the first 8-bit text is the first entry of the table and the first value,
// where a reader that takes the table in order (exiftool) finds it before any text.
TEST_F(PptWrite, ACodePageDeclaredAnewComesFirstInItsSection)
{
    const std::string path = copyOf("bug45908.ppt");
    const auto entriesOfSummary = [&] {
        const auto sets = readPropertySets(path, std::span(&si(), 1));
        return sets.ok() && sets->front() ? sets->front()->firstSection.entries : std::vector<PropertyEntry>{};
    };
    const auto before = entriesOfSummary();
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(std::none_of(before.begin(), before.end(), [](const PropertyEntry& e) { return e.id == kPidCodePage; }));

    ASSERT_TRUE(changed(path, {{0, "Code page first"}, {props::kLastSavedByRow, "Saved by"}}));
    const auto after = entriesOfSummary();
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.front().id, kPidCodePage);
    EXPECT_TRUE(std::all_of(after.begin() + 1, after.end(), [&](const PropertyEntry& e) { return e.offset > after.front().offset; }));
    if (testing::exiftoolAvailable()) {
        const nlohmann::json tags = testing::exiftoolTags(path);
        EXPECT_EQ(tags.value("Title", ""), "Code page first");
        EXPECT_EQ(tags.value("LastModifiedBy", ""), "Saved by");
    }
}

TEST_F(PptWrite, ValuesThatCannotBeWrittenAreRefusedAndTheFileKept)
{
    const std::string path = copyOf("37625.ppt");
    const std::string before = readFileBytes(path);
    struct Case {
        std::uint32_t id;
        std::string text;
        std::uint16_t type;
    };
    for (const Case& c : {Case{2, "日本", props::kVtLpstr},  // the set's code page is 1252
                          Case{0, "x", props::kVtLpstr},     // the dictionary
                          Case{1, "x", props::kVtLpstr},     // the code page
                          Case{0x80000000u, "x", props::kVtLpstr},
                          Case{2, "x", 7}}) {                // VT_DATE is not written
        EXPECT_FALSE(propset::WriteDocProperty(path, si(), c.id, c.text, c.type)) << c.id << " " << c.type;
        EXPECT_EQ(readFileBytes(path), before) << c.id << " " << c.type;
    }
}

TEST_F(PptWrite, ManagerWrittenToAFileWithoutTheSetCreatesIt)
{
    for (const std::string name : {"pp40only.ppt", "TestCorel.shw"}) {
        const std::string path = copyOf(name);
        ASSERT_EQ(propset::ReadDocProperty(path, dsi(), 14), "") << name;
        ASSERT_TRUE(changed(path, {{8, "  The Manager\t"}})) << name;
        EXPECT_EQ(rowsOf(path)[8], "The Manager") << name;
        EXPECT_EQ(propset::ReadDocProperty(path, dsi(), 1), "1200") << name;  // a new set is Unicode
        const auto verdict = testing::olefileCompare(testing::corpusDir() / "files" / name, path);
        ASSERT_FALSE(verdict.is_null());
        EXPECT_TRUE(verdict["new_opens"].get<bool>()) << verdict.dump();
        EXPECT_EQ(verdict["added"], nlohmann::json::array({"\x05" "DocumentSummaryInformation"})) << name;
        EXPECT_EQ(verdict["changed"], nlohmann::json::array()) << name;
        EXPECT_EQ(verdict["props"]["DocumentSummaryInformation"]["14"], "The Manager") << name;
    }
}

TEST_F(PptWrite, AGrowingSetLeavesTheMiniStreamOrGainsTheFirstDifatSector)
{
    // A built file over seven megabytes whose 109 FAT sectors fill the header's DIFAT slots.
    testing::CfbLayout layout;
    const auto title = propset::newPropertySet(si(), 2, propset::typedCodePageString(bytesOf({'T'}), 1200));
    layout.streams = {{u"\x05SummaryInformation", title}, {u"PowerPoint Document", testing::patternBytes(5000, 1)}};
    layout.fullFatSectors = 109;
    const auto built = testing::buildCompoundFile(layout);
    const fs::path big = scratch_.path() / "big.ppt";
    testing::writeFileBytes(big, std::string(reinterpret_cast<const char*>(built.data()), built.size()));
    ASSERT_GT(fs::file_size(big), 7'000'000u);
    fs::copy_file(big, scratch_.path() / "big-before.ppt");
    struct Case {
        fs::path original;
        std::string path;
        std::vector<std::string> comments;  // written one after the other
    };
    const std::vector<Case> cases{
        // Out of the mini stream past the cutoff, and back in.
        {testing::corpusDir() / "files" / "WithComments.ppt", copyOf("WithComments.ppt"), {std::string(5000, 'c'), "short again"}},
        {scratch_.path() / "big-before.ppt", big.string(), {std::string(6000, 'x')}},
    };
    for (const Case& c : cases) {
        props::RowTexts expected = rowsOf(c.path);
        for (const std::string& comment : c.comments) {
            ASSERT_TRUE(changed(c.path, {{4, comment}})) << c.path;
            expected[4] = comment;
            EXPECT_EQ(rowsOf(c.path), expected) << c.path;
        }
        const auto verdict = testing::olefileCompare(c.original, c.path);
        ASSERT_FALSE(verdict.is_null());
        EXPECT_TRUE(verdict["new_opens"].get<bool>()) << c.path << verdict.dump();
        EXPECT_EQ(verdict["changed"], nlohmann::json::array({"\x05SummaryInformation"})) << c.path;
        EXPECT_EQ(verdict["props"]["SummaryInformation"]["6"], c.comments.back()) << c.path;
    }
}

TEST_F(PptWrite, RefusedFilesStayByteForByte)
{
    const std::string locked = copyOf("37625.ppt");
    const std::string readOnly = copyOf("38256.ppt");
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const fs::path text = scratch_.path() / "notes.ppt";
    testing::writeFileBytes(text, std::string(3000, 'n'));
    const fs::path missing = scratch_.path() / "missing.ppt";

    // Another open file description holding the exclusive lock stands for another program.
    auto holder = quorvane::PosixFile::open(locked, quorvane::OpenMode::ReadWriteExclusive);
    ASSERT_TRUE(holder);
    for (const std::string& path : {locked, readOnly, text.string(), missing.string()}) {
        const std::string before = readFileBytes(path);
        EXPECT_FALSE(propset::WriteDocProperty(path, si(), 2, "x", props::kVtLpstr)) << path;
        EXPECT_FALSE(propset::WriteEditTimeProperty(path, si(), 10, "5", props::kVtFiletime)) << path;
        EXPECT_EQ(readFileBytes(path), before) << path;
    }
    EXPECT_EQ(propset::ReadDocProperty(locked, si(), 2), "") << "a writer holds the file";
    EXPECT_EQ(propset::ReadDocProperty(text.string(), si(), 2), "");
    EXPECT_NE(propset::ReadDocProperty(readOnly, si(), 4), "") << "read-only files are still read";
    ASSERT_TRUE(holder->close());

    // A reader's shared lock keeps writers out but lets other readers in.
    auto reader = quorvane::PosixFile::open(locked, quorvane::OpenMode::ReadShared);
    ASSERT_TRUE(reader);
    EXPECT_FALSE(propset::WriteDocProperty(locked, si(), 2, "x", props::kVtLpstr));
    EXPECT_NE(propset::ReadDocProperty(locked, si(), 2), "");
}

TEST_F(PptWrite, ALockHeldByAnotherProcessRefusesTheWrite)
{
    const std::string path = copyOf("37625.ppt");
    const std::string before = readFileBytes(path);
    for (const auto mode : {quorvane::OpenMode::ReadShared, quorvane::OpenMode::ReadWriteExclusive}) {
        int locked[2], release[2];
        ASSERT_EQ(::pipe(locked), 0);
        ASSERT_EQ(::pipe(release), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The other program: takes the lock, says so, and holds it until told to stop.
            auto holder = quorvane::PosixFile::open(path, mode);
            const char state = holder ? 'L' : 'F';
            (void)!::write(locked[1], &state, 1);
            char stop;
            (void)!::read(release[0], &stop, 1);
            ::_exit(0);
        }
        char state = 0;
        ASSERT_EQ(::read(locked[0], &state, 1), 1);
        ASSERT_EQ(state, 'L');
        EXPECT_FALSE(propset::WriteDocProperty(path, si(), 2, "x", props::kVtLpstr));
        if (mode == quorvane::OpenMode::ReadShared) {
            EXPECT_NE(propset::ReadDocProperty(path, si(), 2), "") << "readers share the file";
        } else {
            EXPECT_EQ(propset::ReadDocProperty(path, si(), 2), "") << "a writer holds the file";
        }
        (void)!::write(release[1], "x", 1);
        int status = 0;
        ::waitpid(child, &status, 0);
        for (const int fd : {locked[0], locked[1], release[0], release[1]}) ::close(fd);
        EXPECT_EQ(readFileBytes(path), before);
    }
    EXPECT_TRUE(propset::WriteDocProperty(path, si(), 2, "x", props::kVtLpstr)) << "once the other program let go";
}

TEST_F(PptWrite, RowsWrittenTogetherStoreExactlyWhatRowByRowWritesStore)
{
    // All 14 rows in one change, and in one change per row: the two files must hold the same
    // property-set streams byte for byte.
    for (const char* name : {"42474-1.ppt", "54880_chinese.ppt", "37625.ppt"}) {
        const std::string together = copyOf(name);
        const fs::path single = scratch_.path() / ("single-" + std::string(name));
        fs::copy_file(together, single);
        const props::RowTexts values = {"Titel  ", "\tThema", "Autorin", "k1; k2", "Kommentar", "Kategorie", "12",
                                 "Bearbeiter", "Chefin", "Firma", "2009-03-04 17:45:10", "", "90",
                                 "2011-07-08"};
        testing::RowTextChanges all;
        for (int row = 0; row < props::kRowCount; ++row) all.emplace_back(row, values[std::size_t(row)]);
        ASSERT_TRUE(changed(together, all)) << name;
        for (const auto& one : all) ASSERT_TRUE(changed(single.string(), {one})) << name << " row " << one.first;

        auto togetherFile = PosixFile::open(together, OpenMode::ReadShared);
        auto singleFile = PosixFile::open(single.string(), OpenMode::ReadShared);
        ASSERT_TRUE(togetherFile && singleFile);
        const auto togetherStreams = testing::readRootStreams(*togetherFile);
        const auto singleStreams = testing::readRootStreams(*singleFile);
        ASSERT_TRUE(togetherStreams && singleStreams) << name;
        EXPECT_EQ(*togetherStreams, *singleStreams) << name;
        EXPECT_EQ(rowsOf(together), rowsOf(single.string())) << name;
    }
}

}  // namespace
}  // namespace quorvane::propset
