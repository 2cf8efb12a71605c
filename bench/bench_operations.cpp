// SPDX-License-Identifier: Apache-2.0
#include "bench/bench_operations.h"

#include "cfb/cfb_compound_file.h"
#include "cfb/cfb_stream_write.h"
#include "props/catalogue.h"
#include "convert/display_text.h"
#include "change/change_engine.h"
#include "base/random_access_file.h"

namespace quorvane::bench {
namespace {

// A row text that differs from run to run: a number for the number rows, a date in May 2024
// for the date rows (read in the process's locale, the C locale unless the caller set one),
// else the row's label with the run number.
std::string rowText(int row, int runNumber)
{
    if (props::isNumberRow(row)) return std::to_string(runNumber + 1);
    if (props::isDateTimeRow(row))
        return convert::DateTimeToDisplayText(convert::DisplayTextToDateTime("2024-05-01") + runNumber % 28 + row / 24.0);
    return std::string(props::catalogueRow(row).label) + " " + std::to_string(runNumber);
}

}  // namespace

int writeAllRows(const std::string& path, int runNumber)
{
    props::RowTexts texts;
    for (int row = 0; row < props::kRowCount; ++row) texts[std::size_t(row)] = rowText(row, runNumber);
    change::BatchSettings settings;
    settings.rowValues = texts;
    settings.rowChecks.fill(true);
    for (change::FileTimeSetting& time : settings.fileTimes) time.applyDate = time.applyTime = false;
    return change::ApplyBatchChangeToFile(path, settings) ? 0 : 1;
}

int addPaddingStream(const std::string& path, std::uint64_t byteCount)
{
    auto file = PosixFile::open(path, OpenMode::ReadWriteExclusive);
    if (!file) return 1;
    auto compoundFile = cfb::CompoundFile::open(*file);
    if (!compoundFile.ok()) return 1;
    // Bytes that no file system or disk could pass off as a hole or compress to nothing.
    std::vector<std::byte> padding(byteCount);
    std::uint32_t state = 2463534242u;
    for (std::byte& b : padding) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        b = std::byte(state);
    }
    const cfb::StreamWrite write{std::nullopt, u"BenchPadding", padding};
    if (cfb::writeStreams(compoundFile.value(), std::span(&write, 1)).failed()) return 1;
    return file->close() ? 0 : 1;
}

}  // namespace quorvane::bench
