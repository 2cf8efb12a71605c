// SPDX-License-Identifier: Apache-2.0
// The optional columns of the file list on copies of corpus files: chosen from their menu and
// remembered across a restart, filled in by the background reads (1,000 files, while a click on
// the list is answered at once), sorted by name, date and attributes, narrowed by the filter
// with the count in the status bar, and refreshed after a change.
#include <QAction>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>

#include <fcntl.h>
#include <sys/stat.h>

#include "app/batch_controls.h"
#include "app/file_line.h"
#include "app/file_list_lines.h"
#include "app/file_list_view.h"
#include "app/line_value_reader.h"
#include "change_test_support.h"
#include "fileinfo/attribute_store.h"
#include "ui_test_support.h"

using namespace quorvane;
using namespace quorvane::app;

namespace {

QAction* columnItem(const TForm1& form, const char* name)
{
    return form.fileListView()->columnsMenu()->findChild<QAction*>(QStringLiteral("Column_") + QLatin1String(name));
}

bool everyLineFilled(const TForm1& form)
{
    for (int line = 0; line < lineCount(*form.ListView1); ++line)
        if (!static_cast<const FileLine*>(form.ListView1->topLevelItem(line))->values()) return false;
    return true;
}

// The file names of the lines, top to bottom.
QStringList namesInOrder(const TForm1& form)
{
    QStringList names;
    for (int line = 0; line < lineCount(*form.ListView1); ++line)
        names.append(QString::fromStdString(linePath(*form.ListView1, line)).section(u'/', -1));
    return names;
}

bool setModifyTime(const std::string& path, time_t seconds)
{
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

}  // namespace

class FileListColumnsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (!testing::corpusHas({testing::kSmallPpt, testing::kSmallPptx})) QSKIP("the corpus is not there");
        form_ = testing::openMainWindow();
        QVERIFY(form_);
    }
    void cleanup() { form_.reset(); }

    void chosenColumnsAreRememberedAcrossARestart()
    {
        const testing::ScratchConfigHome store;
        form_ = testing::openMainWindow();
        QHeaderView* header = form_->ListView1->header();
        QVERIFY(header->isSectionHidden(kFirstRowColumn + 2));
        columnItem(*form_, "author")->trigger();
        columnItem(*form_, "modified")->trigger();
        columnItem(*form_, "size")->trigger();
        columnItem(*form_, "size")->trigger();  // and hidden again
        QVERIFY(!header->isSectionHidden(kFirstRowColumn + 2));

        form_ = testing::openMainWindow();
        header = form_->ListView1->header();
        QStringList shown;
        for (int column = 0; column < kListColumnCount; ++column)
            if (!header->isSectionHidden(column)) shown.append(QString::fromStdString(columnName(column)));
        QCOMPARE(shown, (QStringList{"name", "author", "modified"}));
        QVERIFY(columnItem(*form_, "author")->isChecked());
        QVERIFY(!columnItem(*form_, "size")->isChecked());
    }

    void linesSortByNameDateAndAttributes()
    {
        testing::ScratchFiles files;
        const std::vector<std::string> paths = {files.copy(testing::kSmallPpt, QStringLiteral("deck10.ppt")),
                                                files.copy(testing::kSmallPpt, QStringLiteral("Deck9.ppt")),
                                                files.copy(testing::kSmallPptx, QStringLiteral("deck2.pptx"))};
        // Modified: deck10 in 2019, Deck9 in 2021, deck2 in 2020; Deck9 hidden, deck2 read-only.
        QVERIFY(setModifyTime(paths[0], 1560000000) && setModifyTime(paths[1], 1620000000) &&
                setModifyTime(paths[2], 1590000000));
        QVERIFY(fileinfo::writeAttributeWord(paths[1], fileinfo::kHidden | fileinfo::kArchive));
        QVERIFY(fileinfo::writeAttributeWord(paths[2], fileinfo::kReadOnly | fileinfo::kArchive));
        testing::listFiles(form_.get(), paths);
        QTRY_VERIFY(everyLineFilled(*form_));

        FileListView& view = *form_->fileListView();
        view.sortBy(kFileNameColumn);
        QCOMPARE(namesInOrder(*form_), (QStringList{"deck2.pptx", "Deck9.ppt", "deck10.ppt"}));
        view.sortBy(kFileNameColumn);
        QCOMPARE(namesInOrder(*form_), (QStringList{"deck10.ppt", "Deck9.ppt", "deck2.pptx"}));
        view.sortBy(kFirstTimeColumn + 1);
        QCOMPARE(namesInOrder(*form_), (QStringList{"deck10.ppt", "deck2.pptx", "Deck9.ppt"}));
        view.sortBy(kAttributesColumn);
        QCOMPARE(form_->ListView1->topLevelItem(1)->text(kAttributesColumn), QStringLiteral("AH"));
        QCOMPARE(namesInOrder(*form_), (QStringList{"deck10.ppt", "Deck9.ppt", "deck2.pptx"}));
        QCOMPARE(form_->ListView1->topLevelItem(2)->text(kAttributesColumn), QStringLiteral("RA"));
        // The line commands follow the lines as they now stand.
        selectLine(*form_->ListView1, 0);
        form_->ToolButton2Click();
        QCOMPARE(namesInOrder(*form_), (QStringList{"Deck9.ppt", "deck2.pptx"}));
    }

    void filterNarrowsByTheShownColumnsAndTheCountFollows()
    {
        testing::ScratchFiles files;
        testing::listFiles(form_.get(), files.copies(5, {testing::kSmallPpt, testing::kSmallPptx}));
        QTRY_VERIFY(everyLineFilled(*form_));
        QTRY_COMPARE(form_->FileCount->text(), QStringLiteral("Files: 5 / 5"));

        form_->ListFilter->setText(QStringLiteral("XML"));  // the pptx copies' format
        form_->fileListView()->applyFilter();
        QTRY_COMPARE(form_->FileCount->text(), QStringLiteral("Files: 0 / 5"));
        form_->fileListView()->showColumn(kFormatColumn, true);
        QTRY_COMPARE(form_->FileCount->text(), QStringLiteral("Files: 2 / 5"));
        QVERIFY(!form_->ListView1->topLevelItem(1)->isHidden() && form_->ListView1->topLevelItem(0)->isHidden());

        form_->ListFilter->setText(QStringLiteral("3-single"));  // a name, in other letter case
        form_->fileListView()->applyFilter();
        QTRY_COMPARE(form_->FileCount->text(), QStringLiteral("Files: 1 / 5"));
        // A file added while the filter is on shows only when it matches.
        testing::listFiles(form_.get(), {files.copy(testing::kSmallPpt, QStringLiteral("other.ppt"))});
        QTRY_COMPARE(form_->FileCount->text(), QStringLiteral("Files: 1 / 6"));
        form_->ListFilter->clear();
        form_->fileListView()->applyFilter();
        QTRY_COMPARE(form_->FileCount->text(), QStringLiteral("Files: 6 / 6"));
    }

    void aThousandFilesFillInWhileTheListAnswersAndAChangeRefreshesItsLine()
    {
        testing::ScratchFiles files;
        const std::vector<std::string> paths = files.copies(1000, {testing::kSmallPpt, testing::kSmallPptx});
        form_->fileListView()->showColumn(kFirstRowColumn, true);
        testing::listFiles(form_.get(), paths);
        QVERIFY(!form_->fileListView()->reader().idle());
        // A click on a line (which reads its file for the page) is answered while the reads run.
        QElapsedTimer answered;
        answered.start();
        const QRect line = form_->ListView1->visualItemRect(form_->ListView1->topLevelItem(3));
        QTest::mouseClick(form_->ListView1->viewport(), Qt::LeftButton, Qt::NoModifier, line.center());
        QCOMPARE(selectedLine(*form_->ListView1), 3);
        QVERIFY2(answered.elapsed() < 100, qPrintable(QString::number(answered.elapsed()) + QStringLiteral(" ms")));
        QVERIFY(!form_->fileListView()->reader().idle());
        QTRY_VERIFY_WITH_TIMEOUT(everyLineFilled(*form_), 30000);
        for (int index : {0, 1, 999})
            QCOMPARE(form_->ListView1->topLevelItem(index)->text(kFirstRowColumn),
                     QString::fromStdString(testing::titleOf(paths[std::size_t(index)])));

        change::BatchSettings settings;
        for (change::FileTimeSetting& time : settings.fileTimes) time.applyDate = time.applyTime = false;
        settings.rowChecks[0] = true;
        settings.rowValues[0] = "Refreshed title";
        settings.rowChecks[props::kCommentsRow] = true;
        settings.rowValues[props::kCommentsRow] = "First line\r\nsecond line";
        settings.backup = false;
        showBatchSettings(*form_, settings);
        testing::ScratchFiles few;
        form_->ToolButton3Click();
        testing::listFiles(form_.get(), few.copies(2, {testing::kSmallPpt, testing::kSmallPptx}));
        QTRY_VERIFY(everyLineFilled(*form_));
        form_->BitBtn2Click();
        QTRY_COMPARE(form_->ListView1->topLevelItem(1)->text(kFirstRowColumn), QStringLiteral("Refreshed title"));
        // Lines are one line high: a value's line breaks show as spaces, its tool tip keeps them.
        const QTreeWidgetItem* refreshed = form_->ListView1->topLevelItem(1);
        QCOMPARE(refreshed->text(kFirstRowColumn + props::kCommentsRow), QStringLiteral("First line second line"));
        QVERIFY(refreshed->toolTip(kFirstRowColumn + props::kCommentsRow).contains(u'\n'));
    }

private:
    std::unique_ptr<TForm1> form_;
};

QUORVANE_UI_TEST_MAIN(FileListColumnsTest)
#include "file_list_columns_test.moc"
