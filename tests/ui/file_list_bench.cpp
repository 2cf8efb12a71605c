// SPDX-License-Identifier: Apache-2.0
// How the file list scales: "Add files from folder" on a folder of many presentation files
// (copies of two small corpus files, a .ppt and a .pptx, by turns), the background reads that
// fill every optional column of the list (time and the process's peak memory), selecting a line
// (the display read of its file) and "Remove All", timed and printed; then what
// the batch progress window and the export window add per file to the core work they run (the
// same change or export of the same number of fresh copies, timed without a window). Run by
// `make bench` (not a test: the times depend on the machine); QUORVANE_BENCH_FILES sets the
// count of the list, QUORVANE_BENCH_RUN_FILES that of the runs.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <filesystem>
#include <string>
#include <sys/resource.h>

#include "app/batch_controls.h"
#include "app/csv_file_dialog.h"
#include "app/csv_progress_window.h"
#include "app/file_line.h"
#include "app/file_list_lines.h"
#include "app/file_list_view.h"
#include "app/line_value_reader.h"
#include "change/change_engine.h"
#include "change_test_support.h"
#include "export/csv_export.h"
#include "ui_test_support.h"

using namespace quorvane;
using namespace quorvane::app;

namespace {

// Milliseconds per file that the batch progress window adds to the batch change of `fileCount`
// copies of a small corpus file (Title checked, no time or attribute changed); nullopt when a
// run failed.
std::optional<double> batchWindowCostPerFile(TForm1& form, int fileCount)
{
    testing::ScratchFiles windowFiles, coreFiles;
    const auto listed = windowFiles.copies(fileCount, {testing::kSmallPpt});
    const auto bare = coreFiles.copies(fileCount, {testing::kSmallPpt});
    change::BatchSettings settings;
    for (change::FileTimeSetting& time : settings.fileTimes) time.applyDate = time.applyTime = false;
    settings.rowChecks[0] = true;
    settings.rowValues[0] = "Bench title";
    showBatchSettings(form, settings);
    testing::listFiles(&form, listed);

    QElapsedTimer timer;
    timer.start();
    form.BitBtn2Click();
    const double windowMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    int failed = 0;
    for (const std::string& path : bare) failed += change::ApplyBatchChangeToFile(path, settings) ? 0 : 1;
    const double coreMs = double(timer.nsecsElapsed()) / 1e6;
    const bool allChanged = std::all_of(listed.begin(), listed.end(), [](const std::string& p) { return testing::titleOf(p) == "Bench title"; });
    form.ToolButton3Click();
    if (failed != 0 || !allChanged) return std::nullopt;
    return (windowMs - coreMs) / fileCount;
}

// Milliseconds per file that the export window adds to the export of `fileCount` copies; nullopt
// when a run failed.
std::optional<double> exportWindowCostPerFile(TForm1& form, int fileCount)
{
    testing::ScratchFiles files;
    const auto paths = files.copies(fileCount, {testing::kSmallPpt});
    testing::listFiles(&form, paths);
    const QString csv = files.path() + QStringLiteral("/window.csv");
    const CsvFileChooser previous = setCsvFileChooser([csv] { return csv; });

    QElapsedTimer timer;
    timer.start();
    form.BitBtn8Click();
    const double windowMs = double(timer.nsecsElapsed()) / 1e6;
    setCsvFileChooser(previous);
    timer.restart();
    exporting::ExportList lines;
    exporting::WriteCsvHeader(lines);
    int failed = 0;
    for (const std::string& path : paths) failed += exporting::appendFileLine(path, lines).failed() ? 1 : 0;
    const bool saved = !exporting::saveExportList(files.path().toStdString() + "/core.csv", lines).failed();
    const double coreMs = double(timer.nsecsElapsed()) / 1e6;
    form.ToolButton3Click();
    if (failed != 0 || !saved || !QFile::exists(csv)) return std::nullopt;
    return (windowMs - coreMs) / fileCount;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const char* countText = std::getenv("QUORVANE_BENCH_FILES");
    const int fileCount = countText ? std::atoi(countText) : 100000;
    QTemporaryDir folder;
    if (!folder.isValid() || fileCount <= 0) return 2;
    const std::string base = folder.path().toStdString();
    const std::string corpus = QUORVANE_CORPUS_DIR "/files/";
    for (int index = 0; index < fileCount; ++index) {
        const bool package = index % 2 == 1;
        const std::string path = base + "/deck" + std::to_string(index) + (package ? ".pptx" : ".ppt");
        std::error_code error;
        std::filesystem::copy_file(corpus + (package ? testing::kSmallPptx : testing::kSmallPpt), path, error);
        if (error) return 2;
        std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add, error);
    }

    const testing::ScratchConfigHome configHome;  // the user's saved defaults stay untouched
    TForm1 form;
    for (int column = kFileNameColumn + 1; column < kListColumnCount; ++column) form.fileListView()->showColumn(column, true);
    testing::DialogAnswers answers;
    answers.folder = base;
    QElapsedTimer timer;

    timer.start();
    form.ToolButton5->click();
    const qint64 addMs = timer.elapsed();
    const int listed = lineCount(*form.ListView1);

    // Every column filled: the reads done and their values on every line.
    const LineValueReader& reader = form.fileListView()->reader();
    while (!reader.idle()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const qint64 fillMs = timer.elapsed();
    int filled = 0;
    for (int line = 0; line < listed; ++line)
        filled += static_cast<const FileLine*>(form.ListView1->topLevelItem(line))->values() ? 1 : 0;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("file list with %d files: all columns filled %lld ms after the add began (%d lines filled), "
                "peak memory %ld MiB\n",
                fileCount, static_cast<long long>(fillMs), filled, usage.ru_maxrss / 1024);

    timer.restart();
    selectLine(*form.ListView1, listed / 2);
    const qint64 selectMs = timer.elapsed();

    timer.restart();
    form.ToolButton3->click();
    const qint64 removeAllMs = timer.elapsed();

    std::printf("file list with %d files: add from folder %lld ms (%d listed), select a line %lld ms, "
                "Remove All %lld ms\n",
                fileCount, static_cast<long long>(addMs), listed, static_cast<long long>(selectMs),
                static_cast<long long>(removeAllMs));
    const bool listWorked = listed == fileCount && filled == fileCount && lineCount(*form.ListView1) == 0;

    const char* runCountText = std::getenv("QUORVANE_BENCH_RUN_FILES");
    const int runFiles = runCountText ? std::atoi(runCountText) : 2000;
    const std::optional<double> batchMs = batchWindowCostPerFile(form, runFiles);
    const std::optional<double> exportMs = exportWindowCostPerFile(form, runFiles);
    if (!batchMs || !exportMs) {
        std::printf("a batch or export run over %d files failed\n", runFiles);
        return 1;
    }
    std::printf("over %d files the batch progress window adds %.3f ms per file, the export window %.3f ms per file "
                "(target under 1 ms)\n", runFiles, *batchMs, *exportMs);
    return listWorked ? 0 : 1;
}
