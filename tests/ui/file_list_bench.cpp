// How the file list scales: "Add files from folder" on a folder of many presentation files,
// selecting a line (the display read of its file) and "Remove All", timed and printed. Run by
// `make bench` (not a test: the times depend on the machine); QUORVANE_BENCH_FILES sets the count.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "app/file_list_lines.h"
#include "ui_test_support.h"

using namespace quorvane::app;

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const char* countText = std::getenv("QUORVANE_BENCH_FILES");
    const int fileCount = countText ? std::atoi(countText) : 100000;
    QTemporaryDir folder;
    if (!folder.isValid() || fileCount <= 0) return 2;
    const std::string base = folder.path().toStdString();
    for (int index = 0; index < fileCount; ++index) {
        const std::string path = base + "/deck" + std::to_string(index) + ".ppt";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0 || ::close(fd) != 0) return 2;
    }

    TForm1 form;
    testing::DialogAnswers answers;
    answers.folder = base;
    QElapsedTimer timer;

    timer.start();
    form.ToolButton5->click();
    const qint64 addMs = timer.elapsed();
    const int listed = lineCount(*form.ListView1);

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
    return listed == fileCount && lineCount(*form.ListView1) == 0 ? 0 : 1;
}
