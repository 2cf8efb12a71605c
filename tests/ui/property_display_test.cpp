// SPDX-License-Identifier: Apache-2.0
// Selecting a line shows its file on the "Single Change" page: what the display read gives, each
// value in its control (last access only after day 1602), the status picture and the kept reason
// after good and failed reads, and what deselecting turns off. The values themselves and the
// untouched file are the display read's own tests.
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <fcntl.h>
#include <sys/stat.h>

#include "app/file_list_lines.h"
#include "change/file_display.h"
#include "fileinfo/attribute_store.h"
#include "fileinfo/file_snapshot.h"
#include "convert/date_time.h"
#include "ui_test_support.h"

using namespace quorvane;
using namespace quorvane::app;

namespace {

bool setTimes(const QString& path, timespec lastAccess, timespec lastWrite)
{
    const timespec times[2] = {lastAccess, lastWrite};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

QDateTime pickerPair(const QDateEdit* date, const QTimeEdit* time) { return QDateTime(date->date(), time->time()); }

QDateTime localDateTimeOf(const timespec& instant)
{
    const convert::CalendarFields f = convert::decodeDateTime(convert::FileTimeToDateTime(fileinfo::fileTimeOf(instant)));
    return QDateTime(QDate(f.year, f.month, f.day), QTime(f.hour, f.minute, f.second));
}

}  // namespace

class PropertyDisplayTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm1> form;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<testing::MessageCapture> messages;

    QString copyOfCorpusFile(const char* name, const QString& copyName = {})
    {
        const QString copy = folder->filePath(copyName.isEmpty() ? QString::fromLatin1(name) : copyName);
        QFile::remove(copy);
        if (!QFile::copy(QStringLiteral(QUORVANE_CORPUS_DIR "/files/") + QString::fromLatin1(name), copy) ||
            !QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther))
            qFatal("cannot copy %s", name);
        return copy;
    }
    // Adds `paths` through the open dialog; the last one ends up selected.
    void add(const QStringList& paths)
    {
        testing::DialogAnswers answers;
        for (const QString& path : paths) answers.files.push_back(QFile::encodeName(path).toStdString());
        QVERIFY(testing::runCommand(form.get(), QStringLiteral("ToolButton1")));
    }
    int status(int line) const { return lineStatus(*form->ListView1, line); }

private slots:
    void init()
    {
        if (!QFile::exists(QStringLiteral(QUORVANE_CORPUS_DIR "/files"))) QSKIP("no corpus on this machine");
        form = testing::openMainWindow();
        QVERIFY(form);
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        messages = std::make_unique<testing::MessageCapture>();
    }
    void cleanup()
    {
        // No failure of a display is ever reported in a message box.
        if (messages) QVERIFY(messages->messages.isEmpty());
        messages.reset();
        form.reset();
        folder.reset();
    }

    void showsEachDisplayedValueInItsControl_data()
    {
        QTest::addColumn<QString>("corpusName");
        QTest::addColumn<uint>("attributes");
        for (const char* name : {"SimpleMacro.ppt", "WithMaster.pptx"}) {
            QTest::addRow("%s plain", name) << QString::fromLatin1(name) << uint(fileinfo::kArchive);
            QTest::addRow("%s read-only hidden", name)
                << QString::fromLatin1(name) << uint(fileinfo::kReadOnly | fileinfo::kHidden | fileinfo::kSystem);
        }
    }
    void showsEachDisplayedValueInItsControl()
    {
        QFETCH(QString, corpusName);
        QFETCH(uint, attributes);
        const QString other = copyOfCorpusFile("SimpleMacro.ppt", QStringLiteral("other.ppt"));
        const QString copy = copyOfCorpusFile(corpusName.toLatin1().constData());
        QVERIFY(setTimes(copy, timespec{1'000'000'007, 123'456'789}, timespec{1'200'000'000, 987'654'321}));
        QVERIFY(fileinfo::writeAttributeWord(QFile::encodeName(copy).toStdString(), attributes));
        const change::FileDisplay read = change::ReadFileForDisplay(QFile::encodeName(copy).toStdString());
        QVERIFY(read.succeeded && read.rows && read.snapshot);

        add({copy, other});
        selectLine(*form->ListView1, 0);

        for (int row = 0; row < 14; ++row)
            QCOMPARE(form->ListView3->rowValue(row), QString::fromStdString((*read.rows)[std::size_t(row)]));
        QVERIFY(!form->ListView3->rowValue(0).isEmpty());
        const fileinfo::FileSnapshot& snapshot = *read.snapshot;
        QCOMPARE(pickerPair(form->DateTimePicker9, form->DateTimePicker10),
                 localDateTimeOf(fileinfo::timespecOf(snapshot.creationTime)));
        QCOMPARE(pickerPair(form->DateTimePicker11, form->DateTimePicker12), localDateTimeOf(timespec{1'200'000'000, 987'654'321}));
        QCOMPARE(pickerPair(form->DateTimePicker13, form->DateTimePicker14), localDateTimeOf(timespec{1'000'000'007, 123'456'789}));
        const bool readOnly = attributes & fileinfo::kReadOnly;
        QCOMPARE(form->CheckBox16->checkState(), readOnly ? Qt::Checked : Qt::Unchecked);
        QCOMPARE(form->CheckBox17->checkState(), readOnly ? Qt::Unchecked : Qt::Checked);
        QCOMPARE(form->CheckBox18->checkState(), readOnly ? Qt::Checked : Qt::Unchecked);
        QCOMPARE(form->CheckBox23->checkState(), readOnly ? Qt::Checked : Qt::Unchecked);
        QCOMPARE(status(0), int(kUnchanged));
        QCOMPARE(form->ListView1->topLevelItem(0)->toolTip(0), copy);
    }

    void lastAccessUpToDay1602KeepsThePreviousPickers()
    {
        const QString recent = copyOfCorpusFile("SimpleMacro.ppt", QStringLiteral("recent.ppt"));
        const QString ancient = copyOfCorpusFile("WithMaster.pptx", QStringLiteral("ancient.pptx"));
        QVERIFY(setTimes(recent, timespec{1'300'000'000, 0}, timespec{1'300'000'000, 0}));
        // 1903-06-16, before 1904-05-20: a time that stands for "never".
        QVERIFY(setTimes(ancient, timespec{-2'100'000'000, 0}, timespec{1'400'000'000, 0}));
        add({recent, ancient});  // the last one, ancient, ends up selected
        selectLine(*form->ListView1, 0);
        const QDateTime recentAccess = pickerPair(form->DateTimePicker13, form->DateTimePicker14);
        QCOMPARE(recentAccess, localDateTimeOf(timespec{1'300'000'000, 0}));
        selectLine(*form->ListView1, 1);
        QCOMPARE(pickerPair(form->DateTimePicker11, form->DateTimePicker12), localDateTimeOf(timespec{1'400'000'000, 0}));
        QCOMPARE(pickerPair(form->DateTimePicker13, form->DateTimePicker14), recentAccess);
    }

    void failedReadsMarkUnreadableUntilAGoodRead_data()
    {
        QTest::addColumn<QString>("copyName");
        QTest::addColumn<bool>("removeFile");
        QTest::newRow("missing file") << QStringLiteral("gone.ppt") << true;
        QTest::newRow("damaged package") << QStringLiteral("damaged.pptx") << false;
    }
    void failedReadsMarkUnreadableUntilAGoodRead()
    {
        QFETCH(QString, copyName);
        QFETCH(bool, removeFile);
        const QByteArray goodSource = copyName.endsWith(QLatin1String(".pptx")) ? "WithMaster.pptx" : "SimpleMacro.ppt";
        const QString other = copyOfCorpusFile("SimpleMacro.ppt", QStringLiteral("other.ppt"));
        const QString file = copyOfCorpusFile(goodSource.constData(), copyName);
        add({other, file});
        QCOMPARE(status(1), int(kUnchanged));
        const QString goodTitle = form->ListView3->rowValue(0);
        QVERIFY(!goodTitle.isEmpty());

        selectLine(*form->ListView1, 0);
        if (removeFile) {
            QVERIFY(QFile::remove(file));
        } else {
            QFile damaged(file);
            QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate) && damaged.write("PK\3\4 cut short") > 0);
        }
        selectLine(*form->ListView1, 1);
        QCOMPARE(status(1), int(kUnreadable));
        // Nothing of the file shown before stays beside the unreadable one.
        for (int row = 0; row < 14; ++row) QCOMPARE(form->ListView3->rowValue(row), QString());
        QVERIFY(form->BitBtn6->isEnabled());
        // Why is kept on the line and shown in the status bar while the line is selected.
        const QString reason = form->ListView1->topLevelItem(1)->toolTip(0);
        QVERIFY2(reason.startsWith(QStringLiteral("Cannot read: ")), qPrintable(reason));
        if (removeFile) QVERIFY2(reason.contains(QStringLiteral("no such file")), qPrintable(reason));
        QCOMPARE(form->statusBar()->currentMessage(), reason);

        copyOfCorpusFile(goodSource.constData(), copyName);
        selectLine(*form->ListView1, 0);
        QCOMPARE(form->statusBar()->currentMessage(), QString());
        selectLine(*form->ListView1, 1);
        QCOMPARE(status(1), int(kUnchanged));
        QCOMPARE(form->ListView3->rowValue(0), goodTitle);
        QCOMPARE(form->ListView1->topLevelItem(1)->toolTip(0), file);
        QCOMPARE(form->statusBar()->currentMessage(), QString());
    }

    void changedMarksSurviveAGoodRead()
    {
        const QString a = copyOfCorpusFile("SimpleMacro.ppt", QStringLiteral("a.ppt"));
        const QString b = copyOfCorpusFile("WithMaster.pptx", QStringLiteral("b.pptx"));
        add({a, b});
        setLineStatus(*form->ListView1, 0, kChanged);
        setLineStatus(*form->ListView1, 1, kChangeFailed);
        setLineFailure(*form->ListView1, 1, QStringLiteral("Change failed: a reason"));
        selectLine(*form->ListView1, 0);
        QCOMPARE(status(0), int(kChanged));
        selectLine(*form->ListView1, 1);
        QCOMPARE(status(1), int(kChangeFailed));
        // The reason follows the picture: a good read keeps why the change failed.
        QCOMPARE(form->ListView1->topLevelItem(1)->toolTip(0), QStringLiteral("Change failed: a reason"));
        QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Change failed: a reason"));
        // A failed read marks even a changed line as unreadable.
        QVERIFY(QFile::remove(a));
        selectLine(*form->ListView1, 0);
        QCOMPARE(status(0), int(kUnreadable));
    }

    void clickingTheSelectedLineDoesNotReadAgain()
    {
        const QString a = copyOfCorpusFile("SimpleMacro.ppt", QStringLiteral("a.ppt"));
        add({a});
        QCOMPARE(status(0), int(kUnchanged));
        QVERIFY(QFile::remove(a));
        const QRect line = form->ListView1->visualItemRect(form->ListView1->topLevelItem(0));
        QTest::mouseClick(form->ListView1->viewport(), Qt::LeftButton, Qt::NoModifier, line.center());
        QCOMPARE(selectedLine(*form->ListView1), 0);
        QCOMPARE(status(0), int(kUnchanged));
    }

    void deselectingEmptiesTheValuesAndTurnsTheCommandsOff()
    {
        add({copyOfCorpusFile("WithMaster.pptx")});
        QVERIFY(!form->ListView3->rowValue(0).isEmpty());
        const QDateTime shownWrite = pickerPair(form->DateTimePicker11, form->DateTimePicker12);
        const Qt::CheckState shownArchive = form->CheckBox17->checkState();

        selectLine(*form->ListView1, -1);
        for (int row = 0; row < 14; ++row) QCOMPARE(form->ListView3->rowValue(row), QString());
        for (QWidget* off : std::initializer_list<QWidget*>{form->BitBtn6, form->BitBtn9, form->ToolButton2,
                                                            form->ToolButton12, form->GroupBox3, form->GroupBox1})
            QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
        QVERIFY(!form->Remove1->isEnabled());
        // The batch commands check the list for themselves; the pickers and boxes keep their values.
        QVERIFY(form->BitBtn2->isEnabled() && form->BitBtn8->isEnabled());
        QCOMPARE(pickerPair(form->DateTimePicker11, form->DateTimePicker12), shownWrite);
        QCOMPARE(form->CheckBox17->checkState(), shownArchive);

        selectLine(*form->ListView1, 0);
        for (QWidget* on : std::initializer_list<QWidget*>{form->BitBtn6, form->BitBtn9, form->ToolButton2,
                                                           form->ToolButton12, form->GroupBox3, form->GroupBox1})
            QVERIFY2(on->isEnabled(), qPrintable(on->objectName()));
    }
};

QUORVANE_UI_TEST_MAIN(PropertyDisplayTest)
#include "property_display_test.moc"
