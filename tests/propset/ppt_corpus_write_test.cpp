// SPDX-License-Identifier: Apache-2.0
// Every row changed through the change path in copies of the corpus's undamaged compound files,
// one after the other: after each change the row reads back, the other 13 rows, every other
// stream and every other property of both sets (and the second section of
// DocumentSummaryInformation) are unchanged; at the end olefile opens the file, finds only the
// property streams changed and reads the values written. A scrub of the same files leaves none
// of the bytes of what it removes.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "props/catalogue.h"
#include "change/file_request.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "document/ppt_rows.h"
#include "convert/codepage_text.h"
#include "propset/property_set_access.h"
#include "propset/propset_reader.h"
#include "base/random_access_file.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/cfb_olefile.h"
#include "tests/support/content_change.h"
#include "tests/support/corpus.h"
#include "tests/support/document_reads.h"

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

// An encrypted document refuses every change (cli_encrypted_document_test.cpp).
bool isUndamagedAndUnencrypted(const nlohmann::json& oracle)
{
    const auto flags = oracle.value("flags", nlohmann::json::array());
    const auto has = [&](const char* flag) { return std::find(flags.begin(), flags.end(), flag) != flags.end(); };
    return oracle["cfb"].value("opens", false) && !oracle["cfb"].value("encrypted", false) && !has("damaged_clusterfuzz") &&
           !has("olefile_open_issues");
}

// Writable copies (name, path) of the undamaged compound files of the corpus whose names end
// with `suffix`; the sanitizer run takes every fourth file, the release run all of them.
std::vector<std::pair<std::string, std::string>> writableUndamagedCopies(testing::ScratchDir& scratch, std::string_view suffix)
{
    std::vector<std::pair<std::string, std::string>> copies;
    int undamaged = 0;
    for (const std::string& name : testing::corpusFiles("cfb")) {
        if (!name.ends_with(suffix) || !isUndamagedAndUnencrypted(testing::oracleOf(name))) continue;
#if defined(__SANITIZE_ADDRESS__)
        if (undamaged++ % 4 != 0) continue;
#else
        ++undamaged;
#endif
        const std::string path = scratch.copyOfCorpusFile(name).string();
        // The corpus is kept read-only; the copy gets its owner's write bit.
        std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        copies.emplace_back(name, path);
    }
    EXPECT_GT(undamaged, 40) << "undamaged compound files in the corpus";
    return copies;
}

TEST(PptCorpusWrite, EveryRowOfEveryUndamagedFileIsWrittenAloneAndOlefileAgrees)
{
    QUORVANE_REQUIRE_CORPUS();
    testing::ScratchDir scratch;
    int filesWritten = 0;
    for (const auto& [name, path] : writableUndamagedCopies(scratch, "")) {
        const auto original = streamsOf(path);
        ASSERT_TRUE(original) << name << ": the engine's allocation check refuses an undamaged file";
        const auto rowsBefore = document::readPptRows(path);
        ASSERT_TRUE(rowsBefore.ok()) << name << ": " << rowsBefore.failure().text();
        props::RowTexts expected = *rowsBefore;
        StreamMap before = *original;
        for (int row = 0; row < props::kRowCount; ++row) {
            const std::string where = name + " row " + std::to_string(row);
            const Failure changed = testing::changeRows(path, {{row, rowValue(row)}});
            ASSERT_FALSE(changed.failed()) << where << ": " << changed.text();
            expected[std::size_t(row)] = rowValue(row);
            const auto rows = document::readPptRows(path);
            ASSERT_TRUE(rows.ok()) << where << ": " << rows.failure().text();
            EXPECT_EQ(*rows, expected) << where;
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
    EXPECT_GT(filesWritten, 10);
}

// The property values that removing personal information keeps, each as its stored bytes: those
// of the first sections' properties other than the removed ones.
std::vector<std::vector<std::byte>> keptValues(const StreamMap& streams)
{
    std::vector<std::vector<std::byte>> kept;
    std::set<std::pair<int, std::uint32_t>> removed{{props::kSummaryInformation, 0x11}};
    for (int row = 0; row < props::kRowCount; ++row)
        if (props::isTextRow(row) || props::isDurationRow(row) || row == props::kLastPrintedRow)
            removed.emplace(props::isDurationRow(row) ? props::kSummaryInformation : props::catalogueRow(row).selector,
                            props::catalogueRow(row).propertyId);
    for (const int selector : {props::kSummaryInformation, props::kDocumentSummaryInformation}) {
        const auto stream = streams.find(selector == props::kSummaryInformation ? kSi : kDsi);
        const auto layout = stream == streams.end() ? std::nullopt : parsePropertySet(stream->second);
        if (!layout || layout->sections.empty()) continue;
        for (const PropertyEntry& entry : layout->sections.front().entries)
            if (!removed.count({selector, entry.id}))
                if (const auto value = readProperty(stream->second, layout->sections.front(), entry.id))
                    kept.push_back(value->data);
    }
    return kept;
}

// What removing personal information takes out of a file, as the byte strings to look for: the
// texts of the text rows and the custom names and text values, each in its set's code page and
// in UTF-16LE; the editing time and last printed FILETIMEs; the thumbnail in 64-byte pieces.
// Strings with fewer than 4 bytes other than zero, or found where they are kept (the file's
// other streams, the values of the sets that stay), are left out.
std::vector<std::vector<std::byte>> removedValueForms(const std::string& path, const StreamMap& streams)
{
    std::vector<std::vector<std::byte>> kept = keptValues(streams);
    for (const auto& [name, bytes] : streams)
        if (name != kSi && name != kDsi) kept.push_back(bytes);
    std::vector<std::vector<std::byte>> forms;
    const auto add = [&](std::vector<std::byte> form) {
        if (std::count_if(form.begin(), form.end(), [](std::byte b) { return b != std::byte{0}; }) < 4) return;
        for (const auto& bytes : kept)
            if (std::search(bytes.begin(), bytes.end(), form.begin(), form.end()) != bytes.end()) return;
        forms.push_back(std::move(form));
    };
    const auto addText = [&](const std::string& text, std::uint16_t codePage) {
        for (const std::uint16_t page : {codePage, convert::kCodePageUtf16})
            if (auto encoded = convert::encodeCodePage(text, page)) add(std::move(*encoded));
    };
    const std::array fmtids{props::fmtidOfSelector(props::kSummaryInformation),
                            props::fmtidOfSelector(props::kDocumentSummaryInformation)};
    const auto sets = readPropertySets(path, fmtids);
    EXPECT_TRUE(sets.ok()) << path;
    if (!sets.ok()) return forms;
    std::uint16_t customCodePage = convert::kCodePageWindowsLatin1;
    for (int row = 0; row < props::kRowCount; ++row) {
        const props::PropertyRow& entry = props::catalogueRow(row);
        const auto& set = (*sets)[props::isDurationRow(row) || entry.selector == props::kSummaryInformation ? 0 : 1];
        const auto value = set ? set->property(entry.propertyId) : std::nullopt;
        if (!value) continue;
        if (entry.selector == props::kDocumentSummaryInformation) customCodePage = value->codePage;
        if (props::isTextRow(row)) addText(PropertyValueToText(*value), value->codePage);
        if (props::isDurationRow(row) || row == props::kLastPrintedRow)
            add({value->data.begin(), value->data.begin() + std::ptrdiff_t(std::min<std::size_t>(8, value->data.size()))});
    }
    const auto custom = testing::documentCustom(path);
    EXPECT_TRUE(custom.ok()) << path << ": " << custom.failure().text();
    for (const props::CustomProperty& property : custom.ok() ? *custom : std::vector<props::CustomProperty>{}) {
        addText(property.name, customCodePage);
        if (property.type == props::kCustomText) addText(property.value, customCodePage);
    }
    if (const auto thumbnail = (*sets)[0] ? (*sets)[0]->property(0x11) : std::nullopt)
        for (std::size_t at = 0; at + 64 <= thumbnail->data.size(); at += 64) {
            std::vector<std::byte> piece(thumbnail->data.begin() + std::ptrdiff_t(at), thumbnail->data.begin() + std::ptrdiff_t(at + 64));
            std::sort(piece.begin(), piece.end());
            const bool varied = std::unique(piece.begin(), piece.end()) - piece.begin() >= 8;
            if (varied) add({thumbnail->data.begin() + std::ptrdiff_t(at), thumbnail->data.begin() + std::ptrdiff_t(at + 64)});
        }
    return forms;
}

// A scrub with the thumbnail (the text rows, the editing time and the last printed date emptied,
// every custom property, the thumbnail and the last user's name removed) of every undamaged .ppt,
// in one change: none of the removed bytes is left anywhere in the file, and olefile reads it with
// only the property sets and the Current User stream changed.
TEST(PptCorpusWrite, AScrubLeavesNoByteOfWhatItRemovesInTheFile)
{
    QUORVANE_REQUIRE_CORPUS();
    testing::ScratchDir scratch;
    int filesChecked = 0, formsChecked = 0;
    for (const auto& [name, path] : writableUndamagedCopies(scratch, ".ppt")) {
        const auto original = streamsOf(path);
        ASSERT_TRUE(original) << name;
        const auto forms = removedValueForms(path, *original);

        const change::FileOutcome scrubbed = change::applyFileChange(path, change::scrubRequest({}, true), {});
        ASSERT_FALSE(scrubbed.failed()) << name << " " << scrubbed.failure.text();
        const std::string bytes = testing::readFileBytes(path);
        for (const auto& form : forms) {
            const std::string_view text(reinterpret_cast<const char*>(form.data()), form.size());
            EXPECT_EQ(bytes.find(text), std::string::npos) << name << ": a removed value is left: " << text;
        }
        formsChecked += int(forms.size());
        const auto verdict = testing::olefileCompare(testing::corpusDir() / "files" / name, path);
        ASSERT_FALSE(verdict.is_null());
        EXPECT_TRUE(verdict["new_opens"].get<bool>()) << name << verdict.dump();
        for (const auto& changed : verdict["changed"])
            EXPECT_TRUE(changed == "\x05SummaryInformation" || changed == "\x05" "DocumentSummaryInformation" ||
                        changed == "Current User")
                << name << changed;
        EXPECT_TRUE(verdict["missing"].empty()) << name;
        EXPECT_FALSE(verdict["props"]["SummaryInformation"].contains("17")) << name;
        const auto custom = testing::documentCustom(path);
        EXPECT_TRUE(custom.ok() && custom->empty()) << name;
        ++filesChecked;
    }
    EXPECT_GT(filesChecked, 10);
    EXPECT_GT(formsChecked, 10 * filesChecked) << "removed values looked for";
}

}  // namespace
}  // namespace quorvane::propset
