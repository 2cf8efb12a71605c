// SPDX-License-Identifier: Apache-2.0
// The batch run behind "Make Change" on the "Batch Change" page: the progress window's labels and
// bar after each file, files one at a time in list order, Cancel, a failed backup that ends the
// run silently, an error that ends the run and closes the window, the messages of a run that
// cannot start, and the reason of a failed file on its line and in the status bar. Every run
// works on copies of corpus files.
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

#include "app/batch_progress_window.h"
#include "change_test_support.h"
#include "ui_test_support.h"

using namespace quorvane::app;
using namespace quorvane::app::testing;

namespace {

constexpr char kBatchTitle[] = "Batch title";

// What the progress window showed each time its bar moved: the percentage label and the
// statuses of the file list at that moment.
struct ProgressStep {
    QString percentText;
    int barValue;
    std::vector<int> statuses;
};

}  // namespace

class BatchRunTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (!corpusHas({kSmallPpt, kSmallPptx})) QSKIP("no corpus");
        configHome_ = std::make_unique<ScratchConfigHome>();
        files_ = std::make_unique<ScratchFiles>();
        form_ = openMainWindow();
        QVERIFY(form_);
        // Only the title is changed; the file times and attributes are kept.
        form_->ListView2->setRowValue(0, QString::fromLatin1(kBatchTitle));
        form_->ListView2->topLevelItem(0)->setCheckState(0, Qt::Checked);
        for (QCheckBox* applyBox : applyBoxes()) applyBox->setChecked(false);
        form_->CheckBox4->setChecked(false);
        // Enabled once a file has been selected, as the display of the selected file does.
        form_->BitBtn2->setEnabled(true);
    }
    void cleanup()
    {
        form_.reset();
        files_.reset();
        configHome_.reset();
    }

    void percentageAfterEachFile_data()
    {
        QTest::addColumn<int>("fileCount");
        QTest::addColumn<QStringList>("percentTexts");
        QTest::newRow("three files") << 3 << QStringList{"0%", "33%", "67%", "100%"};
        // 1 of 8 is 12.5, which rounds to the even 12; 3 of 8 (37.5) to 38, 5 of 8 (62.5) to 62.
        QTest::newRow("eight files") << 8 << QStringList{"0%", "12%", "25%", "38%", "50%", "62%", "75%", "88%", "100%"};
    }
    void percentageAfterEachFile()
    {
        QFETCH(int, fileCount);
        QFETCH(QStringList, percentTexts);
        const std::vector<std::string> paths = files_->copies(fileCount, {kSmallPpt, kSmallPptx});
        listFiles(form_.get(), paths);
        // A status from an earlier run is reset to 0 before the first file is changed.
        for (int line = 0; line < fileCount; ++line) setLineStatus(*form_->ListView1, line, kChangeFailed);

        std::vector<ProgressStep> steps;
        connect(form_->Form7->ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
            steps.push_back({form_->Form7->Label2->text(), value, lineStatuses(form_.get())});
        });
        MessageCapture capture;
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));

        QStringList shownTexts;
        for (const ProgressStep& step : steps) shownTexts.append(step.percentText);
        QCOMPARE(shownTexts, percentTexts);
        // Files are changed one at a time in list order: after k files exactly the first k are
        // marked changed, the others still show 0.
        for (std::size_t k = 0; k < steps.size(); ++k) {
            std::vector<int> expected(std::size_t(fileCount), kUnchanged);
            std::fill_n(expected.begin(), k, int(kChanged));
            QCOMPARE(steps[k].statuses, expected);
            QCOMPARE(steps[k].barValue, percentTexts[qsizetype(k)].chopped(1).toInt());
        }
        for (const std::string& path : paths) QCOMPARE(titleOf(path), std::string(kBatchTitle));
        QVERIFY(capture.messages.isEmpty());
        QVERIFY(!form_->Form7->isVisible());
        // The first line is selected again, and only it.
        QCOMPARE(form_->ListView1->selectedItems().size(), 1);
        QCOMPARE(selectedLine(*form_->ListView1), 0);
    }

    void cancelDuringTheSecondOfFiveFinishesItAndStops()
    {
        const std::vector<std::string> paths = files_->copies(5, {kSmallPpt});
        listFiles(form_.get(), paths);
        const QString secondPath = QFile::decodeName(QByteArray::fromStdString(paths[1]));

        // Clicks "Cancel" as soon as the window names the second file.
        QTimer watcher;
        watcher.setInterval(0);
        bool clicked = false;
        connect(&watcher, &QTimer::timeout, this, [&] {
            if (!clicked && form_->Form7->Label1->text() == secondPath) {
                clicked = true;
                QTest::mouseClick(form_->Form7->Button1, Qt::LeftButton);
            }
        });
        watcher.start();
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));
        watcher.stop();

        QVERIFY(clicked);
        QCOMPARE(lineStatuses(form_.get()), (std::vector<int>{kChanged, kChanged, kUnchanged, kUnchanged, kUnchanged}));
        QCOMPARE(titleOf(paths[1]), std::string(kBatchTitle));
        QVERIFY(titleOf(paths[2]) != kBatchTitle);
        QCOMPARE(form_->Form7->ProgressBar1->value(), 100);
        QVERIFY(!form_->Form7->isVisible());

        // The cancel flag does not outlive its run: the next run changes every file.
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));
        QCOMPARE(lineStatuses(form_.get()), std::vector<int>(5, kChanged));
    }

    void failedBackupOfTheSecondFileEndsTheRunSilently()
    {
        const std::vector<std::string> paths = files_->copies(5, {kSmallPpt});
        listFiles(form_.get(), paths);
        const QByteArray thirdBefore = fileBytes(paths[2]);
        form_->CheckBox4->setChecked(true);
        // A folder bearing the backup name cannot be replaced by a copy.
        QVERIFY(QDir().mkdir(QFile::decodeName(QByteArray::fromStdString(paths[1] + ".bak"))));

        MessageCapture capture;
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));

        QCOMPARE(lineStatuses(form_.get()), (std::vector<int>{kChanged, kChangeFailed, kUnchanged, kUnchanged, kUnchanged}));
        QVERIFY(capture.messages.isEmpty());
        QVERIFY(QFile::exists(QFile::decodeName(QByteArray::fromStdString(paths[0] + ".bak"))));
        QVERIFY(titleOf(paths[1]) != kBatchTitle);
        QCOMPARE(fileBytes(paths[2]), thirdBefore);
        QVERIFY(!QFile::exists(QFile::decodeName(QByteArray::fromStdString(paths[2] + ".bak"))));
        QVERIFY(!form_->Form7->isVisible());
    }

    void errorThatEndsTheRunIsShownAndTheWindowClosesItself()
    {
        const std::vector<std::string> paths = files_->copies(3, {kSmallPpt});
        listFiles(form_.get(), paths);
        // A "Create Time/Date" text that is no date cannot be written: a conversion error.
        form_->ListView2->setRowValue(10, QStringLiteral("31.02.x"));
        form_->ListView2->topLevelItem(10)->setCheckState(0, Qt::Checked);

        MessageCapture capture;
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));

        QCOMPARE(capture.messages.size(), 1);
        QVERIFY2(capture.messages.first().contains(QStringLiteral("31.02.x")), qPrintable(capture.messages.first()));
        QVERIFY(!form_->Form7->isVisible());
        // The failing file and all after it keep status 0; the first line is selected again.
        QCOMPARE(lineStatuses(form_.get()), std::vector<int>(3, kUnchanged));
        QCOMPARE(selectedLine(*form_->ListView1), 0);

        // The program goes on: with the date fixed the next run changes every file.
        form_->ListView2->topLevelItem(10)->setCheckState(0, Qt::Unchecked);
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));
        QCOMPARE(lineStatuses(form_.get()), std::vector<int>(3, kChanged));
    }

    void runThatCannotStartShowsItsMessageAndTouchesNothing()
    {
        MessageCapture capture;
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));
        QCOMPARE(capture.messages, QStringList{QStringLiteral("Please select files you want to change properties!")});

        const std::vector<std::string> paths = files_->copies(2, {kSmallPpt, kSmallPptx});
        listFiles(form_.get(), paths);
        setLineStatus(*form_->ListView1, 1, kChangeFailed);
        const QByteArray firstBefore = fileBytes(paths[0]);
        form_->ListView2->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        capture.messages.clear();
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));
        QCOMPARE(capture.messages, QStringList{QStringLiteral("Please setup File Change Attribute Option.\n"
                                                              "According to you setup, noting to do!")});
        QCOMPARE(fileBytes(paths[0]), firstBefore);
        QCOMPARE(lineStatuses(form_.get()), (std::vector<int>{kUnchanged, kChangeFailed}));
    }

    void failedFileKeepsItsReasonAndTheStatusBarCountsTheRun()
    {
        std::vector<std::string> paths = files_->copies(3, {kSmallPpt, kSmallPptx});
        const std::string gone = QFile::encodeName(files_->path()).toStdString() + "/gone.ppt";
        paths.insert(paths.begin() + 1, gone);
        listFiles(form_.get(), paths);
        const QString startText = form_->StatusBar1Panel->text();
        MessageCapture capture;
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));

        QCOMPARE(lineStatuses(form_.get()), (std::vector<int>{kChanged, kChangeFailed, kChanged, kChanged}));
        const QString changeReason = form_->ListView1->topLevelItem(1)->toolTip(0);
        QVERIFY2(changeReason.startsWith(QStringLiteral("Change failed: ")) && changeReason.size() > 15,
                 qPrintable(changeReason));
        QCOMPARE(form_->ListView1->topLevelItem(2)->toolTip(0), QFile::decodeName(QByteArray::fromStdString(paths[2])));
        QCOMPARE(form_->statusBar()->currentMessage(), QStringLiteral("3 files changed, 1 failed"));
        QVERIFY(capture.messages.isEmpty());

        // Selecting the line reads the missing file again; that reason is kept and shown.
        selectLine(*form_->ListView1, 1);
        const QString readReason = form_->ListView1->topLevelItem(1)->toolTip(0);
        QVERIFY2(readReason.contains(QStringLiteral("no such file")), qPrintable(readReason));
        QCOMPARE(form_->statusBar()->currentMessage(), readReason);

        // A line without a failure gives the status bar its own text back.
        selectLine(*form_->ListView1, 2);
        QCOMPARE(form_->statusBar()->currentMessage(), QString());
        QVERIFY(form_->StatusBar1Panel->isVisible());
        QCOMPARE(form_->StatusBar1Panel->text(), startText);
    }

    void escapeDuringARunActsAsCancel()
    {
        const std::vector<std::string> paths = files_->copies(4, {kSmallPpt});
        listFiles(form_.get(), paths);
        QTimer watcher;
        watcher.setInterval(0);
        bool escaped = false;
        connect(&watcher, &QTimer::timeout, this, [&] {
            if (!escaped && !form_->Form7->Label1->text().isEmpty()) {
                escaped = true;
                QTest::keyClick(form_->Form7, Qt::Key_Escape);
                // The window stays until the run ends; the file being changed is finished.
                QVERIFY(form_->Form7->isVisible());
            }
        });
        watcher.start();
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn2")));
        watcher.stop();
        QVERIFY(escaped);
        QCOMPARE(lineStatuses(form_.get()), (std::vector<int>{kChanged, kUnchanged, kUnchanged, kUnchanged}));
    }

private:
    std::vector<QCheckBox*> applyBoxes() const
    {
        return {form_->CheckBox9, form_->CheckBox10, form_->CheckBox11,
                form_->CheckBox12, form_->CheckBox13, form_->CheckBox14};
    }

    std::unique_ptr<ScratchConfigHome> configHome_;
    std::unique_ptr<ScratchFiles> files_;
    std::unique_ptr<TForm1> form_;
};

QUORVANE_UI_TEST_MAIN(BatchRunTest)
#include "batch_run_test.moc"
