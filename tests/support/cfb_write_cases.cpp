// SPDX-License-Identifier: Apache-2.0
#include "tests/support/cfb_write_cases.h"

#include <random>

#include "cfb/cfb_compound_file.h"
#include "cfb/cfb_stream_write.h"

namespace quorvane::testing {
namespace {

CfbLayout specOf(int version, std::vector<std::pair<std::u16string, std::size_t>> streams)
{
    CfbLayout layout;
    layout.majorVersion = version;
    unsigned seed = 1;
    for (const auto& [name, size] : streams) layout.streams.push_back({name, patternBytes(size, seed++)});
    return layout;
}

}  // namespace

std::vector<CfbWriteCase> cfbWriteCases()
{
    std::vector<CfbWriteCase> cases;
    for (const int v : {3, 4}) {
        const std::string p = "v" + std::to_string(v) + "_";
        const auto typical = [v](std::size_t size) {
            return specOf(v, {{u"\x05SummaryInformation", size}, {u"PowerPoint Document", 9000}, {u"Current User", 60}});
        };
        cases.push_back({p + "MiniGrows", typical(400), u"\x05SummaryInformation", patternBytes(3000, 50)});
        cases.push_back({p + "MiniShrinks", typical(3000), u"\x05SummaryInformation", patternBytes(100, 51)});
        cases.push_back({p + "MiniToRegular", typical(400), u"\x05SummaryInformation", patternBytes(5000, 52)});
        cases.push_back({p + "RegularToMini", typical(6000), u"\x05SummaryInformation", patternBytes(300, 53)});
        cases.push_back({p + "RegularGrows", typical(5000), u"\x05SummaryInformation", patternBytes(21000, 54)});
        cases.push_back({p + "BecomesEmpty", typical(400), u"\x05SummaryInformation", {}});
        cases.push_back({p + "EmptyGetsData", typical(0), u"\x05SummaryInformation", patternBytes(700, 55)});
        cases.push_back({p + "CreateMini", specOf(v, {{u"PowerPoint Document", 9000}, {u"Current User", 60}}),
                         u"\x05" u"DocumentSummaryInformation", patternBytes(500, 56), true});
        cases.push_back({p + "CreateRegular", specOf(v, {{u"PowerPoint Document", 9000}}),
                         u"\x05" u"DocumentSummaryInformation", patternBytes(4096, 57), true});
        cases.push_back({p + "CreateWithoutMiniStream", specOf(v, {{u"PowerPoint Document", 9000}}),
                         u"\x05SummaryInformation", patternBytes(200, 58), true});
    }
    // v3: root and three streams fill the only directory sector, so a new entry needs a new one.
    cases.push_back({"v3_CreateNeedsDirectorySector",
                     specOf(3, {{u"PowerPoint Document", 9000}, {u"Current User", 60}, {u"Pictures", 100}}),
                     u"\x05SummaryInformation", patternBytes(300, 59), true});
    // 124 of the 128 mini sectors one v3 MiniFAT sector maps are taken: growth needs a second.
    cases.push_back({"v3_MiniFatGrows",
                     specOf(3, {{u"\x05SummaryInformation", 200}, {u"A", 3968}, {u"B", 3776}}),
                     u"\x05SummaryInformation", patternBytes(1000, 60)});
    return cases;
}

bool applyCfbWrite(RandomAccessFile& file, const CfbWriteCase& writeCase, Failure* failure)
{
    using namespace cfb;
    auto opened = CompoundFile::open(file);
    *failure = opened.failure();
    if (!opened.ok()) return false;
    CompoundFile& compoundFile = opened.value();
    const auto entryId = compoundFile.findRootStream(writeCase.target);
    if (!writeCase.create && !entryId) {
        *failure = Failure(FailureKind::NotFound, "no such stream");
        return false;
    }
    const StreamWrite write = writeCase.create ? StreamWrite{std::nullopt, std::u16string(writeCase.target), writeCase.newData}
                                               : StreamWrite{entryId, {}, writeCase.newData};
    *failure = writeStreams(compoundFile, std::span(&write, 1));
    return !failure->failed();
}

std::vector<std::uint64_t> keptWriteSubsets(std::size_t count)
{
    std::vector<std::uint64_t> masks;
    if (count <= 8) {
        for (std::uint64_t mask = 0; mask < (1ull << count); ++mask) masks.push_back(mask);
        return masks;
    }
    const std::uint64_t all = count >= 64 ? ~0ull : (1ull << count) - 1;
    for (std::size_t i = 0; i < count && i < 64; ++i) {
        masks.push_back(1ull << i);          // only this one
        masks.push_back(all & ~(1ull << i)); // all but this one
    }
    std::mt19937_64 random(count);
    for (int i = 0; i < 100; ++i) masks.push_back(random() & all);
    return masks;
}

}  // namespace quorvane::testing
