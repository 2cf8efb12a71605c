#include "bench/bench_operations.h"

#include <algorithm>
#include <string_view>

#include "change/change_engine.h"
#include "export/csv_export.h"
#include "fileinfo/backup.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/file_times.h"
#include "fileinfo/snapshot_display.h"
#include "cfb/cfb_compound_file.h"
#include "cfb/cfb_stream_write.h"
#include "props/catalogue.h"
#include "convert/display_text.h"
#include "document/document_rows.h"
#include "base/error.h"
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

int writeRows(const std::string& path, int runNumber, const props::RowSelection& selected)
{
    props::RowTexts texts;
    for (int row = 0; row < props::kRowCount; ++row) texts[std::size_t(row)] = rowText(row, runNumber);
    return document::writeDocumentRows(path, texts, selected) ? 0 : 1;
}

change::BatchSettings batchSettings(bool backup)
{
    change::BatchSettings settings;
    const convert::DateTime when = convert::DisplayTextToDateTime("2024-05-01 09:30:00");
    for (change::FileTimeSetting& time : settings.fileTimes) time.datePicker = time.timePicker = when;
    for (int row : {0, 2, 9}) {
        settings.rowChecks[std::size_t(row)] = true;
        settings.rowValues[std::size_t(row)] = rowText(row, 1);
    }
    settings.backup = backup;
    return settings;
}

}  // namespace

int showFiles(const std::vector<std::string>& paths, std::ostream& out)
{
    int failed = 0;
    for (const std::string& path : paths) {
        const auto snapshot = fileinfo::ReadFileAttributeData(path);
        if (!snapshot) {
            ++failed;
            continue;
        }
        out << path;
        bool readable = true;
        try {
            const auto rows = document::readDocumentRows(path);
            readable = rows.has_value();
            for (const std::string& text : rows.value_or(props::RowTexts{})) out << '\t' << text;
        } catch (const Error&) {
            readable = false;
        }
        for (const std::string& text : fileinfo::fileInfoTexts(*snapshot)) out << '\t' << text;
        out << '\n';
        if (!fileinfo::RestoreFileTimesAfterRead(path, *snapshot) || !readable) ++failed;
    }
    return failed;
}

int exportFiles(const std::string& csvPath, const std::vector<std::string>& paths)
{
    exporting::ExportList lines;
    exporting::WriteCsvHeader(lines);
    const auto failed = std::count_if(paths.begin(), paths.end(),
                                      [&lines](const std::string& path) { return !exporting::AppendCsvLine(path, lines); });
    return int(failed) + (exporting::saveExportList(csvPath, lines) ? 0 : 1);
}

int writeAllRows(const std::string& path, int runNumber)
{
    return writeRows(path, runNumber, props::kAllRows);
}

int writeTitleRow(const std::string& path, int runNumber)
{
    props::RowSelection titleOnly{};
    titleOnly[0] = true;
    return writeRows(path, runNumber, titleOnly);
}

int batchChange(const std::vector<std::string>& paths, bool backup)
{
    const change::BatchSettings settings = batchSettings(backup);
    int failed = 0;
    for (const std::string& path : paths) {
        bool changed = false;
        try {
            changed = (!backup || fileinfo::backupoldfile(path)) && change::ApplyBatchChangeToFile(path, settings);
        } catch (const Error&) {
            changed = false;
        }
        if (!changed) ++failed;
    }
    return failed;
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
    if (cfb::createRootStream(compoundFile.value(), u"BenchPadding", padding).failed()) return 1;
    return file->close() ? 0 : 1;
}

}  // namespace quorvane::bench
