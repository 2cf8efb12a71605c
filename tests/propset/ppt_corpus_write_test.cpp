// Every row written into copies of the corpus's undamaged compound files, one after the other:
// after each write the row reads back, the other 13 rows, every other stream and every other
// property of both sets (and the second section of DocumentSummaryInformation) are unchanged;
// at the end olefile opens the file, finds only the property streams changed and reads the
// values written.
#include <gtest/gtest.h>

#include <algorithm>

#include "props/catalogue.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "document/ppt_rows.h"
#include "propset/propset_reader.h"
#include "base/random_access_file.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/cfb_olefile.h"
#include "tests/support/corpus.h"

namespace quorvane::propset {
namespace {

using testing::StreamMap;

const std::u16string kSi = u"\x05SummaryInformation";
const std::u16string kDsi = u"\x05" u"DocumentSummaryInformation";

std::string dateText(int year, int month, int day, int hour, int minute)
{
    return convert::DateTimeToDisplayText(*convert::encodeDateTime({year, month, day, hour, minute, 7, 0}));
}

// The value written to each row, and the text it reads back as.
std::string rowValue(int row)
{
    if (row == props::kRevisionNumberRow) return "42";
    if (row == props::kTotalEditingTimeRow) return "90";
    if (props::isDateTimeRow(row)) return dateText(2020 + row - 10, 3, 4, 5, 6);
    return "Quorvane value " + std::to_string(row);
}

std::optional<StreamMap> streamsOf(const std::string& path)
{
    auto file = PosixFile::open(path, OpenMode::ReadShared);
    if (!file) return std::nullopt;
    return testing::readRootStreams(*file);
}

// Property id -> raw value bytes of every section of a property-set stream ("" sections absent).
using SectionValues = std::vector<std::map<std::uint32_t, std::vector<std::byte>>>;
SectionValues valuesOf(const StreamMap& streams, const std::u16string& name)
{
    SectionValues values;
    const auto stream = streams.find(name);
    if (stream == streams.end()) return values;
    const auto layout = propset::parsePropertySet(stream->second);
    if (!layout) return values;
    for (const propset::Section& section : layout->sections) {
        auto& map = values.emplace_back();
        for (const PropertyEntry& entry : section.entries)
            if (const auto value = readProperty(stream->second, section, entry.id)) map[entry.id] = value->data;
    }
    return values;
}

// A value's bytes are unchanged; its span may only have gained zeros at its end (the padding
// placed before a value appended after it).
bool sameValue(const std::vector<std::byte>& old, const std::vector<std::byte>& now)
{
    return now.size() >= old.size() && std::equal(old.begin(), old.end(), now.begin()) &&
           std::all_of(now.begin() + std::ptrdiff_t(old.size()), now.end(), [](std::byte b) { return b == std::byte{0}; });
}

void expectOnlyRowChanged(const StreamMap& before, const StreamMap& after, int row, const std::string& where)
{
    const props::PropertyRow& entry = props::catalogueRow(row);
    const std::u16string changedStream = entry.selector == props::kSummaryInformation ? kSi : kDsi;
    for (const auto& [name, bytes] : before) {
        if (name == changedStream) continue;
        const auto other = after.find(name);
        EXPECT_TRUE(other != after.end() && other->second == bytes) << where << ": stream " << testing::printableName(name);
    }
    for (const std::u16string& set : {kSi, kDsi}) {
        const SectionValues old = valuesOf(before, set), now = valuesOf(after, set);
        if (old.empty()) continue;  // a set created by this write holds only what was written
        ASSERT_EQ(now.size(), old.size()) << where;
        for (std::size_t s = 0; s < old.size(); ++s) {
            for (const auto& [id, bytes] : old[s]) {
                if (s == 0 && set == changedStream && id == entry.propertyId) continue;
                ASSERT_TRUE(now[s].count(id)) << where << " property " << id << " lost";
                if (s == 0) {
                    EXPECT_TRUE(sameValue(bytes, now[s].at(id))) << where << " property " << id << " changed";
                } else {
                    EXPECT_TRUE(now[s].at(id) == bytes) << where << " second section property " << id;
                }
            }
        }
    }
}

bool isUndamaged(const nlohmann::json& oracle)
{
    const auto flags = oracle.value("flags", nlohmann::json::array());
    const auto has = [&](const char* flag) { return std::find(flags.begin(), flags.end(), flag) != flags.end(); };
    return oracle["cfb"].value("opens", false) && !has("damaged_clusterfuzz") && !has("olefile_open_issues");
}

TEST(PptCorpusWrite, EveryRowOfEveryUndamagedFileIsWrittenAloneAndOlefileAgrees)
{
    QUORVANE_REQUIRE_CORPUS();
    testing::ScratchDir scratch;
    int filesWritten = 0, fileIndex = 0;
    for (const std::string& name : testing::corpusFiles("cfb")) {
        if (!isUndamaged(testing::oracleOf(name))) continue;
#if defined(__SANITIZE_ADDRESS__)
        // The sanitizer run writes every fourth file; the release run writes them all.
        if (fileIndex++ % 4 != 0) continue;
#else
        ++fileIndex;
#endif
        const std::string path = scratch.copyOfCorpusFile(name).string();
        // The corpus is kept read-only; the copy gets its owner's write bit.
        std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        const auto original = streamsOf(path);
        ASSERT_TRUE(original) << name << ": the engine's allocation check refuses an undamaged file";
        props::RowTexts expected = document::readPptRows(path);
        StreamMap before = *original;
        for (int row = 0; row < props::kRowCount; ++row) {
            const std::string where = name + " row " + std::to_string(row);
            ASSERT_TRUE(document::writePptRow(path, row, rowValue(row))) << where;
            expected[std::size_t(row)] = rowValue(row);
            EXPECT_EQ(document::readPptRows(path), expected) << where;
            const auto after = streamsOf(path);
            ASSERT_TRUE(after) << where << ": the written file fails the allocation check";
            expectOnlyRowChanged(before, *after, row, where);
            before = *after;
        }
        const auto verdict = testing::olefileCompare(testing::corpusDir() / "files" / name, path);
        ASSERT_FALSE(verdict.is_null());
        EXPECT_TRUE(verdict["new_opens"].get<bool>()) << name << verdict.dump();
        for (const auto& changed : verdict["changed"])
            EXPECT_TRUE(changed == "\x05SummaryInformation" || changed == "\x05" "DocumentSummaryInformation") << name << changed;
        EXPECT_TRUE(verdict["missing"].empty()) << name;
        // olefile strips NULs from strings: the ASCII values read back as written in any page.
        EXPECT_EQ(verdict["props"]["SummaryInformation"]["2"], rowValue(0)) << name;
        EXPECT_EQ(verdict["props"]["DocumentSummaryInformation"]["14"], rowValue(8)) << name;
        EXPECT_EQ(verdict["props"]["SummaryInformation"]["10"], 90 * 60) << name;  // seconds
        ++filesWritten;
    }
    EXPECT_GT(fileIndex, 50) << "undamaged compound files in the corpus";
    EXPECT_GT(filesWritten, 10);
}

}  // namespace
}  // namespace quorvane::propset
