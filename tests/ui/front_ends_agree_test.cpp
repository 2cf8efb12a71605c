// SPDX-License-Identifier: Apache-2.0
// The same request through every front end: the window's Single Change, its Batch Change and
// quorvane-cli set, each on its own copy of the same files, must leave the same bytes and report
// the same outcome, whether the request lands, asks a creation date no file time holds, or asks
// an attribute the file system cannot keep.
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTimeEdit>

#include <sys/mount.h>
#include <time.h>
#include <unistd.h>

#include "change_test_support.h"
#include "ui_test_support.h"

using namespace quorvane::app;
using namespace quorvane::app::testing;

namespace {

// What a front end left: the file's bytes and its outcome (the reason of a failure, "" for a
// change).
struct Result {
    QByteArray bytes;
    QString failure;
};

}  // namespace

class FrontEndsAgreeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // West of UTC, so that 9999-12-31 23:00 local time lies in the year 10000 in UTC.
        previousZone_ = qgetenv("TZ");
        qputenv("TZ", "America/New_York");
        ::tzset();
    }
    void cleanupTestCase()
    {
        qputenv("TZ", previousZone_);
        ::tzset();
    }

    void sameRequestSameOutcome_data()
    {
        QTest::addColumn<QString>("corpusName");
        QTest::addColumn<bool>("pastYear9999");
        QTest::addColumn<bool>("withoutXattrs");
        QTest::addColumn<bool>("changes");
        for (const char* name : {kSmallPpt, kSmallPptx}) {
            const QString file = QString::fromLatin1(name);
            QTest::newRow(qPrintable(file + " lands")) << file << false << false << true;
            QTest::newRow(qPrintable(file + " creation past 9999")) << file << true << false << false;
            QTest::newRow(qPrintable(file + " hidden on a file system without xattrs")) << file << false << true << false;
        }
    }
    void sameRequestSameOutcome()
    {
        QFETCH(QString, corpusName);
        QFETCH(bool, pastYear9999);
        QFETCH(bool, withoutXattrs);
        QFETCH(bool, changes);
        const QByteArray name = corpusName.toLatin1();
        if (!corpusHas({name.constData()})) QSKIP("no corpus");
        ScratchConfigHome configHome;
        ScratchFiles files;
        QString folder = files.path();
        if (withoutXattrs) {
            // ramfs keeps no extended attributes; mounting one needs root.
            folder = files.path() + QStringLiteral("/ramfs");
            QDir().mkpath(folder);
            if (::mount("none", QFile::encodeName(folder).constData(), "ramfs", 0, nullptr) != 0)
                QSKIP("cannot mount a file system without extended attributes here");
            mounted_ = folder;
        }
        const QByteArray original = fileBytes(QFile::encodeName(corpusFilePath(name.constData())).toStdString());
        const auto copyFor = [&](const QString& frontEnd) {
            const QString path = folder + u'/' + frontEnd + u'-' + corpusName;
            QFile::copy(corpusFilePath(name.constData()), path);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
            return QFile::encodeName(path).toStdString();
        };

        const Result single = bySingleChange(copyFor(QStringLiteral("single")), pastYear9999);
        const Result batch = byBatchChange(copyFor(QStringLiteral("batch")), pastYear9999);
        const Result cli = byCli(copyFor(QStringLiteral("cli")), pastYear9999);
        if (!mounted_.isEmpty()) ::umount2(QFile::encodeName(mounted_).constData(), MNT_DETACH);
        mounted_.clear();

        QVERIFY2(single.failure == batch.failure && batch.failure == cli.failure,
                 qPrintable(single.failure + u'|' + batch.failure + u'|' + cli.failure));
        QCOMPARE(single.bytes, batch.bytes);
        QCOMPARE(batch.bytes, cli.bytes);
        QCOMPARE(cli.failure.isEmpty(), changes);
        QCOMPARE(cli.bytes == original, !changes);
    }

private:
    static constexpr char kTitle[] = "One request";

    static QString reasonOf(const TForm1& form)
    {
        // The line's reason is "<step>: <reason>"; the reason alone is what every front end gives.
        const QString text = lineFailure(*form.ListView1, 0);
        return text.mid(text.indexOf(QStringLiteral(": ")) + 2 * int(!text.isEmpty()));
    }

    Result bySingleChange(const std::string& path, bool pastYear9999)
    {
        std::unique_ptr<TForm1> form = openMainWindow();
        const int line = appendLine(*form->ListView1, path);
        form->ListView1->setCurrentItem(form->ListView1->topLevelItem(line));
        form->ListView3->setRowValue(0, QString::fromLatin1(kTitle));
        form->CheckBox18->setCheckState(Qt::Checked);
        form->CheckBox5->setChecked(false);
        if (pastYear9999) {
            form->DateTimePicker9->setDate(QDate(9999, 12, 31));
            form->DateTimePicker10->setTime(QTime(23, 0));
        }
        MessageCapture capture;
        runCommand(form.get(), QStringLiteral("BitBtn6"));
        return {fileBytes(path), reasonOf(*form)};
    }

    Result byBatchChange(const std::string& path, bool pastYear9999)
    {
        std::unique_ptr<TForm1> form = openMainWindow();
        listFiles(form.get(), {path});
        form->ListView2->setRowValue(0, QString::fromLatin1(kTitle));
        form->ListView2->topLevelItem(0)->setCheckState(0, Qt::Checked);
        for (QCheckBox* box : {form->CheckBox9, form->CheckBox10, form->CheckBox11, form->CheckBox12, form->CheckBox13,
                               form->CheckBox14})
            box->setChecked(false);
        form->CheckBox3->setCheckState(Qt::Checked);
        form->CheckBox4->setChecked(false);
        if (pastYear9999) {
            form->CheckBox9->setChecked(true);
            form->CheckBox10->setChecked(true);
            form->DateTimePicker1->setDate(QDate(9999, 12, 31));
            form->DateTimePicker2->setTime(QTime(23, 0));
        }
        form->BitBtn2->setEnabled(true);
        MessageCapture capture;
        runCommand(form.get(), QStringLiteral("BitBtn2"));
        return {fileBytes(path), reasonOf(*form)};
    }

    Result byCli(const std::string& path, bool pastYear9999)
    {
        QStringList arguments{QStringLiteral("set"), QStringLiteral("--title"), QString::fromLatin1(kTitle),
                              QStringLiteral("--hidden"), QStringLiteral("on")};
        if (pastYear9999)
            arguments << QStringLiteral("--creation-date") << QStringLiteral("9999-12-31") << QStringLiteral("--creation-time")
                      << QStringLiteral("23:00");
        arguments << QFile::decodeName(QByteArray::fromStdString(path));
        QProcess cli;
        cli.start(QStringLiteral(QUORVANE_CLI_PATH), arguments);
        cli.waitForFinished(60'000);
        const QString err = QString::fromUtf8(cli.readAllStandardError()).trimmed();
        // "quorvane-cli: PATH: failed: REASON"
        const QString marker = QStringLiteral(": failed: ");
        return {fileBytes(path), err.contains(marker) ? err.mid(err.indexOf(marker) + marker.size()) : QString()};
    }

    QByteArray previousZone_;
    QString mounted_;
};

QUORVANE_UI_TEST_MAIN(FrontEndsAgreeTest)
#include "front_ends_agree_test.moc"
