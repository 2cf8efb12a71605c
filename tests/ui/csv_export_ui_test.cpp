// SPDX-License-Identifier: Apache-2.0
// The CSV export commands: the progress window's percentages, Cancel, the messages, the single
// export of the selected file, the first line selected again after a batch export, the count
// in the status bar with the reason of a failed file on its line, and the saved file's name.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

#include <filesystem>

#include "app/csv_file_dialog.h"
#include "app/dialog_folder.h"
#include "app/file_list_lines.h"
#include "app/csv_progress_window.h"
#include "tests/support/corpus.h"
#include "ui_test_support.h"

using namespace quorvane::app;
using namespace quorvane::app::testing;
namespace fs = std::filesystem;

namespace {

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Saves a picture of `window` when QUORVANE_SCREENSHOT_DIR names a folder.
void saveScreenshot(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("QUORVANE_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    window.grab().save(folder + "/" + name + ".png");
}

}  // namespace

class CsvExportUiTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (quorvane::testing::corpusDir().empty()) QSKIP("no corpus on this machine");
        scratch_ = std::make_unique<quorvane::testing::ScratchDir>();
        form_ = openMainWindow();
        QVERIFY(form_);
        target_ = QString::fromStdString((scratch_->path() / "export.CSV").string());
        previousChooser_ = setCsvFileChooser([this] {
            ++dialogs_;
            return target_;
        });
        dialogs_ = 0;
    }
    void cleanup()
    {
        setCsvFileChooser(previousChooser_);
        form_.reset();
        scratch_.reset();
    }

    void eightFilesShowHalvesRoundedToEven()
    {
        addFiles(8);
        QList<int> shown;
        connect(form_->Form9, &quorvane::exporting::TForm9::progressShown, this, [&shown](int p) { shown << p; });
        connect(form_->Form9, &quorvane::exporting::TForm9::fileStarted, this, [this](int index) {
            if (index == 2) saveScreenshot(*form_->Form9, "csv-export-progress");
        });
        form_->BitBtn8Click();
        QCOMPARE(shown, (QList<int>{12, 25, 38, 50, 62, 75, 88, 100}));
        QCOMPARE(form_->Form9->windowTitle(), QStringLiteral("Export to CSV..."));
        QCOMPARE(form_->Form9->Button1->text(), QStringLiteral("Cancel"));
        QCOMPARE(form_->Form9->Timer1->interval(), 100);
        QVERIFY(!form_->Form9->isVisible());
        const QString csv = readAll(target_);
        QCOMPARE(csv.count(QStringLiteral("\r\n")), 9);
        QVERIFY(csv.startsWith(QStringLiteral("\"File full name\",\"File Name\",\"Title\"")));
        // The first line is selected again, so that it is shown as it now is.
        QCOMPARE(selectedLine(*form_->ListView1), 0);
    }

    void cancelDuringTheSecondOfFiveCreatesNoFile()
    {
        addFiles(5);
        QList<int> shown;
        connect(form_->Form9, &quorvane::exporting::TForm9::progressShown, this, [&shown](int p) { shown << p; });
        connect(form_->Form9, &quorvane::exporting::TForm9::fileStarted, this, [this](int index) {
            if (index == 1) QTest::mouseClick(form_->Form9->Button1, Qt::LeftButton);
        });
        form_->BitBtn8Click();
        QCOMPARE(shown, (QList<int>{20, 40}));  // the second file is finished, no third begins
        QVERIFY(!QFile::exists(target_));
        QVERIFY(!form_->Form9->isVisible());
    }

    void batchExportSetsEveryStatusToUnchangedFirst()
    {
        addFiles(2);
        setLineStatus(*form_->ListView1, 1, kChangeFailed);
        form_->BitBtn8Click();
        QCOMPARE(lineStatus(*form_->ListView1, 0), int(kUnchanged));
        QCOMPARE(lineStatus(*form_->ListView1, 1), int(kUnchanged));
    }

    void failedReadIsKeptOnItsLineAndCounted()
    {
        addFiles(3);
        const QTreeWidgetItem* missing = form_->ListView1->topLevelItem(1);
        QVERIFY(QFile::remove(missing->text(0)));
        form_->BitBtn8Click();
        QCOMPARE(form_->statusBar()->currentMessage(), QStringLiteral("2 files exported, 1 failed"));
        QVERIFY2(missing->toolTip(0).startsWith(QStringLiteral("Export failed: ")) &&
                     missing->toolTip(0).contains(QStringLiteral("no such file")),
                 qPrintable(missing->toolTip(0)));
        QCOMPARE(form_->ListView1->topLevelItem(2)->toolTip(0), form_->ListView1->topLevelItem(2)->text(0));
    }

    void messagesForAnEmptyListAndAnUnwritableTarget()
    {
        MessageCapture capture;
        form_->BitBtn8Click();
        QCOMPARE(capture.messages,
                 QStringList{QStringLiteral("Please select files you want to export properties to CSV file!")});
        QCOMPARE(dialogs_, 0);

        addFiles(1);
        target_ = QString::fromStdString(scratch_->path().string());  // a folder cannot be replaced
        form_->BitBtn8Click();
        QCOMPARE(capture.messages.size(), 2);
        QCOMPARE(capture.messages.last(), QStringLiteral("Cannot save to ") + target_ +
                                              QStringLiteral("\nplease close other application that open this file!"));
    }

    void cancelledDialogExportsNothing()
    {
        addFiles(1);
        target_.clear();
        form_->BitBtn8Click();
        form_->BitBtn9Click();
        QVERIFY(!form_->Form9->isVisible());
        QCOMPARE(QDir(QString::fromStdString(scratch_->path().string())).entryList(QDir::Files).size(), 1);
    }

    void singleExportWritesTheSelectedFileOnly()
    {
        addFiles(3);
        form_->BitBtn9Click();
        QCOMPARE(dialogs_, 0);  // no selection: nothing happens
        form_->ListView1->setCurrentItem(form_->ListView1->topLevelItem(1));
        setLineStatus(*form_->ListView1, 1, kChanged);
        form_->BitBtn9Click();
        const QString csv = readAll(target_);
        QCOMPARE(csv.count(QStringLiteral("\r\n")), 2);
        QVERIFY(csv.contains(QStringLiteral("\"file1.ppt\"")));
        QCOMPARE(form_->statusBar()->currentMessage(), QStringLiteral("1 file exported, 0 failed"));
        QCOMPARE(lineStatus(*form_->ListView1, 1), int(kChanged));  // status pictures are not touched
    }

    void saveNameGetsCsvUnlessTypedWithASuffix_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no suffix") << "report" << "report.csv";
        QTest::newRow("upper-case csv") << "report.CSV" << "report.CSV";
        QTest::newRow("another suffix") << "report.txt" << "report.txt";
        QTest::newRow("bare full stop") << "report." << "report.csv";
        QTest::newRow("full stop in a folder") << "v1.2/report" << "v1.2/report.csv";
    }
    void saveNameGetsCsvUnlessTypedWithASuffix()
    {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        const QDir scratch(QString::fromStdString(scratch_->path().string()));
        QVERIFY(scratch.mkdir(QStringLiteral("v1.2")));
        addFiles(1);
        selectLine(*form_->ListView1, 0);
        target_ = scratch.filePath(typed);
        form_->BitBtn9Click();
        QVERIFY(QFile::exists(scratch.filePath(saved)));
        QCOMPARE(scratch.entryList({QStringLiteral("report*")}, QDir::Files, QDir::Name).size() +
                     QDir(scratch.filePath(QStringLiteral("v1.2"))).entryList(QDir::Files).size(),
                 1);
        // The next dialog starts where this one was answered.
        QCOMPARE(dialogStartFolder(), QFileInfo(scratch.filePath(saved)).path());
    }

private:
    void addFiles(int count)
    {
        for (int i = 0; i < count; ++i) {
            const fs::path copy = scratch_->copyOfCorpusFile("42474-1.ppt");
            const fs::path named = scratch_->path() / ("file" + std::to_string(i) + ".ppt");
            fs::rename(copy, named);
            appendLine(*form_->ListView1, named.string());
        }
    }

    std::unique_ptr<quorvane::testing::ScratchDir> scratch_;
    std::unique_ptr<TForm1> form_;
    QString target_;
    int dialogs_ = 0;
    CsvFileChooser previousChooser_;
};

QUORVANE_UI_TEST_MAIN(CsvExportUiTest)

#include "csv_export_ui_test.moc"
