// SPDX-License-Identifier: Apache-2.0
// A property write into real .ppt files interrupted after each single write call, and with
// each call failing in turn: the file must still open with the old value or the new one, and
// every other stream and row must be as before. Covers a set in regular sectors, one in the
// mini stream that grows past the cutoff, and a set created where there was none.
#include <gtest/gtest.h>

#include "props/catalogue.h"
#include "document/ppt_rows.h"
#include "propset/property_set_access.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/corpus.h"
#include "tests/support/faulty_file.h"

namespace quorvane::testing {
namespace {

struct PropertyCase {
    std::string file;
    int row;
    std::string text;
};

std::string asText(const std::vector<std::byte>& bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(PptWriteFault, EveryCutAndEveryFailingCallLeavesOldOrNewValue)
{
    QUORVANE_REQUIRE_CORPUS();
    ScratchDir scratch;
    const std::vector<PropertyCase> cases{
        {"37625.ppt", 0, "A new title"},                    // SummaryInformation in regular sectors
        {"WithComments.ppt", 4, std::string(5000, 'c')},    // mini stream -> regular sectors
        {"pp40only.ppt", 9, "New Company"},                 // DocumentSummaryInformation created
    };
    for (const PropertyCase& c : cases) {
        const std::string original = readFileBytes(corpusDir() / "files" / c.file);
        MemoryFile pristine(std::vector<std::byte>(reinterpret_cast<const std::byte*>(original.data()),
                                                   reinterpret_cast<const std::byte*>(original.data()) + original.size()));
        const auto before = readRootStreams(pristine);
        ASSERT_TRUE(before) << c.file;
        const auto path = scratch.path() / c.file;
        writeFileBytes(path, original);
        const auto oldRead = document::readPptRows(path.string());
        ASSERT_TRUE(oldRead.ok()) << c.file << ": " << oldRead.failure().text();
        const props::RowTexts oldRows = *oldRead;
        const props::Fmtid& fmtid = props::fmtidOfSelector(document::pptSelectorOfRow(c.row));
        const auto write = document::pptRowWrite(c.row, props::RowValue::textValue(c.text));
        ASSERT_TRUE(write.ok()) << c.file;

        for (const auto mode : {FaultyFile::Mode::CutAfter, FaultyFile::Mode::FailOne}) {
            for (int at = mode == FaultyFile::Mode::CutAfter ? 0 : 1;; ++at) {
                MemoryFile file(pristine.bytes());
                FaultyFile faulty(file, mode, at);
                const Failure failure = propset::writePropertiesInto(faulty, fmtid, std::span(&*write, 1));
                const bool written = !failure.failed();
                const std::string where = c.file + (mode == FaultyFile::Mode::CutAfter ? " cut after " : " failing call ") +
                                          std::to_string(at);
                EXPECT_EQ(written, !faulty.triggered()) << where;
                writeFileBytes(path, asText(file.bytes()));
                const auto read = document::readPptRows(path.string());
                ASSERT_TRUE(read.ok()) << where << ": " << read.failure().text();
                props::RowTexts rows = *read;
                const std::string value = rows[std::size_t(c.row)];
                EXPECT_TRUE(value == c.text || (!written && value == oldRows[std::size_t(c.row)])) << where << ": " << value;
                rows[std::size_t(c.row)] = oldRows[std::size_t(c.row)];
                EXPECT_EQ(rows, oldRows) << where;
                const auto after = readRootStreams(file);
                ASSERT_TRUE(after) << where << ": fails the allocation check";
                for (const auto& [name, bytes] : *before) {
                    if (name == u"\x05SummaryInformation" || name == u"\x05" u"DocumentSummaryInformation") continue;
                    EXPECT_TRUE(after->count(name) && after->at(name) == bytes) << where << " " << printableName(name);
                }
                if (!faulty.triggered()) break;
            }
        }
    }
}

}  // namespace
}  // namespace quorvane::testing
