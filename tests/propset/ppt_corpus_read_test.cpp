// SPDX-License-Identifier: Apache-2.0
// Every compound file of the corpus read as the display reads it (one open of the file), compared
// with the oracle's decoded values (an independent [MS-OLEPS] parser): dates as display text, the
// editing time in minutes, damaged files included (a file that cannot be read shows no value).
#include <gtest/gtest.h>

#include "props/catalogue.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "tests/support/corpus.h"
#include "tests/support/document_reads.h"

namespace quorvane::propset {
namespace {

using testing::corpusFiles;
using testing::oracleOf;

// The text the oracle's record implies for a row.
std::string expectedRowText(const nlohmann::json& oracle, int row)
{
    const props::PropertyRow& entry = props::catalogueRow(row);
    const char* set = entry.selector == props::kSummaryInformation ? "SummaryInformation" : "DocumentSummaryInformation";
    const auto& cfb = oracle.at("cfb");
    if (!cfb.contains(set) || !cfb[set].contains("props")) return {};
    const auto& props = cfb[set]["props"];
    const std::string id = std::to_string(entry.propertyId);
    if (!props.contains(id)) return {};
    const auto& prop = props[id];
    const int type = prop.at("type").get<int>();
    if (type == props::kVtFiletime) {
        if (props::isDurationRow(row)) return std::to_string(prop.at("minutes_rounded_half_even").get<long long>());
        const auto value = prop.at("value").get<std::uint64_t>();
        return value == 0 ? std::string() : convert::DateTimeToDisplayText(convert::FileTimeToDateTime(value));
    }
    if (prop.at("value").is_string()) return prop["value"].get<std::string>();
    return {};
}

TEST(PptCorpusRead, EveryRowOfEveryCompoundFileEqualsTheOracle)
{
    QUORVANE_REQUIRE_CORPUS();
    const auto files = corpusFiles("cfb");
    ASSERT_GT(files.size(), 50u);
    int compared = 0, withValue = 0;
    for (const std::string& name : files) {
        const auto oracle = oracleOf(name);
        const std::string path = (testing::corpusDir() / "files" / name).string();
        const auto read = testing::documentRowsOrFailure(path);
        const props::RowTexts rows = read.ok() ? *read : props::RowTexts{};
        for (int row = 0; row < props::kRowCount; ++row) {
            const std::string expected = expectedRowText(oracle, row);
            EXPECT_EQ(rows[std::size_t(row)], expected) << name << " row " << row;
            ++compared;
            withValue += !expected.empty();
        }
    }
    EXPECT_EQ(compared, int(files.size()) * props::kRowCount);
    EXPECT_GT(withValue, compared / 3) << "the oracle should hold values for many rows";
}

}  // namespace
}  // namespace quorvane::propset
