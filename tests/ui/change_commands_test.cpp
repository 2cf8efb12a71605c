// SPDX-License-Identifier: Apache-2.0
// The commands of the change pages other than the batch run: "Make Change" on the "Single Change"
// page with its messages and status pictures, the double click that toggles a row's check mark
// in the batch option table, and the apply boxes that enable their pickers.
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimeEdit>

#include "app/file_list_view.h"
#include "app/line_value_reader.h"
#include "app/row_editors.h"
#include "change/change_engine.h"
#include "change/file_plan.h"
#include "change_test_support.h"
#include "tests/support/document_reads.h"
#include "tests/support/fileinfo_fixtures.h"
#include "ui_test_support.h"

using namespace quorvane::app;
using namespace quorvane::app::testing;

class ChangeCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        configHome_ = std::make_unique<ScratchConfigHome>();
        files_ = std::make_unique<ScratchFiles>();
        form_ = openMainWindow();
        QVERIFY(form_);
        // Enabled while a file is selected, as the display of the selected file does.
        form_->BitBtn6->setEnabled(true);
    }
    void cleanup()
    {
        form_.reset();
        files_.reset();
        configHome_.reset();
    }

    void singleChangeWithoutSelectedFileOnlyShowsItsMessage()
    {
        if (!corpusHas({kSmallPpt})) QSKIP("no corpus");
        listFiles(form_.get(), {files_->copy(kSmallPpt)});
        MessageCapture capture;
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn6")));
        QCOMPARE(capture.messages, QStringList{QStringLiteral("Please select files you want to change properties!")});
    }

    void singleChangeWritesEveryRowAndMarksTheLine_data()
    {
        QTest::addColumn<QString>("corpusName");
        QTest::newRow("ppt") << QString::fromLatin1(kSmallPpt);
        QTest::newRow("pptx") << QString::fromLatin1(kSmallPptx);
    }
    void singleChangeWritesEveryRowAndMarksTheLine()
    {
        QFETCH(QString, corpusName);
        const QByteArray name = corpusName.toLatin1();
        if (!corpusHas({name.constData()})) QSKIP("no corpus");
        const std::string path = files_->copy(name.constData());
        const QByteArray before = fileBytes(path);
        selectNewLine(path);
        form_->ListView3->setRowValue(0, QStringLiteral("Single title"));
        form_->ListView3->setRowValue(2, QStringLiteral("Single author"));
        form_->ListView3->setRowValue(6, QStringLiteral("7"));
        form_->DateTimePicker11->setDate(QDate(2009, 1, 2));
        form_->DateTimePicker12->setTime(QTime(13, 45, 0));
        form_->CheckBox23->setCheckState(Qt::Unchecked);

        MessageCapture capture;
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn6")));
        QVERIFY(capture.messages.isEmpty());
        QCOMPARE(lineStatus(*form_->ListView1, 0), int(kChanged));
        const auto rows = quorvane::testing::documentRows(path);
        QVERIFY(rows);
        QCOMPARE((*rows)[0], std::string("Single title"));
        QCOMPARE((*rows)[2], std::string("Single author"));
        QCOMPARE((*rows)[6], std::string("7"));
        // The modify time is the date picker's date at the time picker's time.
        QCOMPARE(QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).lastModified(),
                 QDateTime(QDate(2009, 1, 2), QTime(13, 45, 0)));
        // The backup box starts checked: the copy holds the file as it was.
        QCOMPARE(fileBytes(path + ".bak"), before);
        // The table is not read again from the file.
        QCOMPARE(form_->ListView3->rowValue(0), QStringLiteral("Single title"));
    }

    void singleChangeThatFailsMarksTheLineWithoutMessage()
    {
        const QString brokenPath = QDir(files_->path()).filePath(QStringLiteral("broken.ppt"));
        QFile broken(brokenPath);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray(4096, 'x'));
        broken.close();
        selectNewLine(QFile::encodeName(brokenPath).toStdString());
        form_->ListView3->setRowValue(0, QStringLiteral("Title"));

        MessageCapture capture;
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn6")));
        QVERIFY(capture.messages.isEmpty());
        QCOMPARE(lineStatus(*form_->ListView1, 0), int(kChangeFailed));
        // Why stays on the line and, the line being selected, shows in the status bar.
        const QString reason = form_->ListView1->topLevelItem(0)->toolTip(0);
        QVERIFY2(reason.startsWith(QStringLiteral("Change failed: ")), qPrintable(reason));
        QCOMPARE(form_->statusBar()->currentMessage(), reason);
    }

    void failedBackupShowsItsMessageWithThePathAndChangesNothing()
    {
        if (!corpusHas({kSmallPpt})) QSKIP("no corpus");
        const std::string path = files_->copy(kSmallPpt);
        const QByteArray before = fileBytes(path);
        selectNewLine(path);
        setLineStatus(*form_->ListView1, 0, kChanged);
        QVERIFY(QDir().mkdir(QFile::decodeName(QByteArray::fromStdString(path + ".bak"))));
        form_->ListView3->setRowValue(0, QStringLiteral("Not written"));

        MessageCapture capture;
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn6")));
        QCOMPARE(capture.messages,
                 QStringList{QStringLiteral("An error occured when backup original file, \n"
                                            "please make sure there not any other application open this file!\n") +
                             QFile::decodeName(QByteArray::fromStdString(path))});
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(lineStatus(*form_->ListView1, 0), int(kUnchanged));

        // Without the backup option the same file is changed.
        form_->CheckBox5->setChecked(false);
        capture.messages.clear();
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn6")));
        QVERIFY(capture.messages.isEmpty());
        QCOMPARE(titleOf(path), std::string("Not written"));
    }

    // The values shown for a file that could not be read are empty, and those of a file changed
    // since are stale: writing either would overwrite the file's own properties.
    void singleChangeIsRefusedAfterAFailedReadOrAChangeOnDisk()
    {
        if (!corpusHas({kSmallPpt})) QSKIP("no corpus");
        const std::string path = files_->copy(kSmallPpt);
        const QByteArray before = fileBytes(path);
        {
            quorvane::testing::LockHoldingChild lock(path, true);
            QVERIFY(lock.holding());
            selectNewLine(path);
            QCOMPARE(lineStatus(*form_->ListView1, 0), int(kUnreadable));
        }
        MessageCapture capture;
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn6")));
        QCOMPARE(fileBytes(path), before);
        QVERIFY(!QFile::exists(QFile::decodeName(QByteArray::fromStdString(path + ".bak"))));
        QVERIFY(form_->statusBar()->currentMessage().startsWith(QStringLiteral("Not changed: ")));

        form_->ListView1->clearSelection();
        form_->ListView1->setCurrentItem(form_->ListView1->topLevelItem(0));
        QCOMPARE(lineStatus(*form_->ListView1, 0), int(kUnchanged));
        form_->ListView3->setRowValue(0, QStringLiteral("Not written"));
        quorvane::change::FileRequest elsewhere;
        elsewhere.content.rows[0] = quorvane::props::RowValue::textValue("Changed elsewhere");
        QVERIFY(!quorvane::change::applyFileChange(path, elsewhere, {}).failed());
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn6")));
        QCOMPARE(titleOf(path), std::string("Changed elsewhere"));
        QCOMPARE(form_->ListView3->rowValue(0), QStringLiteral("Changed elsewhere"));
        QVERIFY(form_->statusBar()->currentMessage().startsWith(QStringLiteral("Not changed: ")));

        // Shown as it is now, the file takes the change, and a second one after it.
        for (const QString& title : {QStringLiteral("Now written"), QStringLiteral("Written again")}) {
            form_->ListView3->setRowValue(0, title);
            QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn6")));
            QCOMPARE(titleOf(path), title.toStdString());
        }
        QVERIFY(capture.messages.isEmpty());
    }

    // Text that the file's code page cannot hold is refused before anything is written: no backup,
    // and the file keeps its bytes and every time. The change sequence itself, refused at its
    // write, puts the times back too.
    void singleChangeRefusedBeforeWritingLeavesNoTrace()
    {
        if (!corpusHas({kSmallPpt})) QSKIP("no corpus");
        const std::string path = files_->copy(kSmallPpt);
        const QByteArray before = fileBytes(path);
        // Times long past, which any read of the file would move; reading the bytes comes last.
        quorvane::testing::setAccessAndWriteTimes(path, timespec{1'000'000'007, 5}, timespec{1'100'000'000, 9});
        selectNewLine(path);
        const auto traceBefore = quorvane::testing::FileTrace::of(path);
        QCOMPARE(traceBefore.lastAccess.tv_sec, time_t(1'000'000'007));
        form_->ListView3->setRowValue(0, QString::fromUtf8("\xE4\xB8\xAD\xE6\x96\x87"));

        MessageCapture capture;
        QVERIFY(runCommand(form_.get(), QStringLiteral("BitBtn6")));
        QVERIFY(quorvane::testing::FileTrace::of(path) == traceBefore);
        QVERIFY(capture.messages.isEmpty());
        QCOMPARE(lineStatus(*form_->ListView1, 0), int(kChangeFailed));
        QVERIFY2(form_->statusBar()->currentMessage().contains(QStringLiteral("code page")),
                 qPrintable(form_->statusBar()->currentMessage()));
        QVERIFY(!QFile::exists(QFile::decodeName(QByteArray::fromStdString(path + ".bak"))));

        quorvane::change::SingleChangeValues values;
        values.rowValues[0] = "\xE4\xB8\xAD\xE6\x96\x87";
        QVERIFY(!quorvane::change::ApplySingleChange(path, values));
        QVERIFY(quorvane::testing::FileTrace::of(path) == traceBefore);
        QCOMPARE(fileBytes(path), before);
    }

    void doubleClickTogglesTheRowCheckMarkAndOpensNoEditor()
    {
        PropertyTable* table = form_->ListView2;
        form_->PageControl1->setCurrentWidget(form_->TabSheet1);
        // Tall enough to show all rows with room below the last.
        form_->resize(TForm1::kWidthPx, 1000);
        QTRY_VERIFY(table->viewport()->height() > (quorvane::props::kRowCount + 1) * PropertyTable::kRowHeightPx);
        for (int row : {0, 6, 10, 13}) {
            const Qt::CheckState before = table->topLevelItem(row)->checkState(0);
            doubleClickAt(table, labelCellCentre(table, row));
            QVERIFY(table->topLevelItem(row)->checkState(0) != before);
            QVERIFY(!form_->rowEditors()->Edit1->isVisible());
            doubleClickAt(table, labelCellCentre(table, row));
            QCOMPARE(table->topLevelItem(row)->checkState(0), before);
        }
        // Below the last row there is no row to toggle.
        const QPoint belowRows(PropertyTable::kLabelColumnWidthPx / 2, table->viewport()->height() - 2);
        QVERIFY(table->rowAt(belowRows) < 0);
        doubleClickAt(table, belowRows);
        for (int row = 0; row < quorvane::props::kRowCount; ++row)
            QCOMPARE(table->topLevelItem(row)->checkState(0), Qt::Unchecked);
    }

    void eachPickerIsEnabledExactlyWhileItsApplyBoxIsChecked()
    {
        const std::vector<std::pair<QCheckBox*, QWidget*>> pairs{
            {form_->CheckBox9, form_->DateTimePicker1},  {form_->CheckBox10, form_->DateTimePicker2},
            {form_->CheckBox11, form_->DateTimePicker3}, {form_->CheckBox12, form_->DateTimePicker4},
            {form_->CheckBox13, form_->DateTimePicker5}, {form_->CheckBox14, form_->DateTimePicker6}};
        form_->PageControl1->setCurrentWidget(form_->TabSheet1);
        for (const auto& [box, picker] : pairs) {
            QVERIFY(box->isChecked());
            QVERIFY(picker->isEnabled());
            QTest::mouseClick(box, Qt::LeftButton);  // by the user
            QVERIFY(!box->isChecked());
            QVERIFY(!picker->isEnabled());
            for (const auto& [otherBox, otherPicker] : pairs)
                if (otherBox != box) QCOMPARE(otherPicker->isEnabled(), otherBox->isChecked());
            box->setChecked(true);  // by the program
            QVERIFY(picker->isEnabled());
            box->setChecked(false);
            QVERIFY(!picker->isEnabled());
            QTest::mouseClick(box, Qt::LeftButton);
            QVERIFY(picker->isEnabled());
        }
    }

private:
    // A double click as the window system delivers it: press and release, then a press that
    // comes as a double click, and its release.
    static void doubleClickAt(PropertyTable* table, QPoint viewportPos)
    {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, viewportPos);
        QTest::mousePress(table->viewport(), Qt::LeftButton, Qt::NoModifier, viewportPos);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, viewportPos);
        QTest::mouseRelease(table->viewport(), Qt::LeftButton, Qt::NoModifier, viewportPos);
    }

    void selectNewLine(const std::string& path)
    {
        const int line = appendLine(*form_->ListView1, path);
        form_->ListView1->setCurrentItem(form_->ListView1->topLevelItem(line));
        // The list's own read of the new file, which moves its last-access time for a moment.
        QTRY_VERIFY(form_->fileListView()->reader().idle());
    }

    std::unique_ptr<ScratchConfigHome> configHome_;
    std::unique_ptr<ScratchFiles> files_;
    std::unique_ptr<TForm1> form_;
};

QUORVANE_UI_TEST_MAIN(ChangeCommandsTest)
#include "change_commands_test.moc"
