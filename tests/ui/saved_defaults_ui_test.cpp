// SPDX-License-Identifier: Apache-2.0
// The saved defaults as the "Batch Change" page uses them: the settings of a first start, each
// apply box and each three-state value through "Save as default" and "Load from default", the
// reading rules of rows 10 and 13, "Load from selected file", and the pickers following their
// apply boxes after a load. Every test has its own empty store.
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QTimeEdit>
#include <QToolButton>

#include <cmath>

#include "app/batch_controls.h"
#include "app/date_time_pickers.h"
#include "change/defaults_store.h"
#include "change_test_support.h"
#include "convert/display_text.h"
#include "base/error.h"
#include "ui_test_support.h"

using namespace quorvane::app;
using namespace quorvane::app::testing;
using quorvane::convert::DateTime;

namespace {

constexpr DateTime kOneMinute = 1.0 / 1440.0;

struct TimeLine {
    QCheckBox* applyDate;
    QDateEdit* datePicker;
    QCheckBox* applyTime;
    QTimeEdit* timePicker;
};

bool isAboutNow(DateTime value)
{
    return std::abs(value - currentLocalDateTime()) < kOneMinute;
}

// The date-time a display text stands for; NaN when it does not read as one.
DateTime dateTimeOfText(const QString& text)
{
    try {
        return quorvane::convert::DisplayTextToDateTime(text.toStdString());
    } catch (const quorvane::Error&) {
        return std::nan("");
    }
}

}  // namespace

class SavedDefaultsUiTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        configHome_ = std::make_unique<ScratchConfigHome>();
        form_ = openMainWindow();
        QVERIFY(form_);
    }
    void cleanup()
    {
        form_.reset();
        configHome_.reset();
    }

    void firstStartCreatesTheStoreAndStartsFromItsRules()
    {
        QVERIFY(QFile::exists(configHome_->storePath()));
        for (const TimeLine& line : timeLines()) {
            QVERIFY(line.applyDate->isChecked());
            QVERIFY(line.applyTime->isChecked());
            QVERIFY(line.datePicker->isEnabled());
            QVERIFY(line.timePicker->isEnabled());
            QVERIFY(isAboutNow(composeFromPickers(line.datePicker, line.timePicker)));
        }
        for (QCheckBox* box : attributeBoxes()) QCOMPARE(box->checkState(), Qt::PartiallyChecked);
        QVERIFY(!form_->CheckBox4->isChecked());
        QVERIFY(!form_->RemoveAllCustomBox->isChecked());
        for (int row = 0; row < quorvane::props::kRowCount; ++row) {
            QCOMPARE(form_->ListView2->topLevelItem(row)->checkState(0), Qt::Unchecked);
            const QString value = form_->ListView2->rowValue(row);
            if (row == 10 || row == 11)
                QVERIFY2(isAboutNow(dateTimeOfText(value)), qPrintable(value));
            else
                QCOMPARE(value, QString());
        }
    }

    void eachApplyBoxIsSavedUnderItsOwnName_data()
    {
        QTest::addColumn<int>("uncheckedBox");
        const char* names[] = {"creation date", "creation time", "modify date",
                               "modify time",   "access date",   "access time"};
        for (int box = 0; box < 6; ++box) QTest::newRow(names[box]) << box;
    }
    void eachApplyBoxIsSavedUnderItsOwnName()
    {
        QFETCH(int, uncheckedBox);
        const std::vector<QCheckBox*> boxes = applyBoxes();
        for (std::size_t box = 0; box < boxes.size(); ++box) boxes[box]->setChecked(int(box) != uncheckedBox);
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton9")));
        for (QCheckBox* box : boxes) box->setChecked(uncheckedBox % 2 == 0);
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton10")));
        for (std::size_t box = 0; box < boxes.size(); ++box) QCOMPARE(boxes[box]->isChecked(), int(box) != uncheckedBox);
        // The pickers follow their boxes after the load.
        for (const TimeLine& line : timeLines()) {
            QCOMPARE(line.datePicker->isEnabled(), line.applyDate->isChecked());
            QCOMPARE(line.timePicker->isEnabled(), line.applyTime->isChecked());
        }
    }

    void eachThreeStateValueIsSavedAndLoaded_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("storedText");
        const char* names[] = {"readonly", "archive", "hidden", "contentindex"};
        for (int box = 0; box < 4; ++box) {
            QTest::addRow("%s grayed", names[box]) << box << int(Qt::PartiallyChecked) << QStringLiteral("0");
            QTest::addRow("%s checked", names[box]) << box << int(Qt::Checked) << QStringLiteral("1");
            QTest::addRow("%s unchecked", names[box]) << box << int(Qt::Unchecked) << QStringLiteral("2");
        }
    }
    void eachThreeStateValueIsSavedAndLoaded()
    {
        QFETCH(int, box);
        QFETCH(int, state);
        QFETCH(QString, storedText);
        const std::vector<QCheckBox*> boxes = attributeBoxes();
        const char* valueNames[] = {"readonly", "archive", "hidden", "contentindex"};
        // The other boxes hold a state different from the one under test.
        const auto otherState = Qt::CheckState(state == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        for (std::size_t index = 0; index < boxes.size(); ++index)
            boxes[index]->setCheckState(int(index) == box ? Qt::CheckState(state) : otherState);
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton9")));
        QCOMPARE(storedValue(valueNames[box]), storedText);

        for (QCheckBox* other : boxes) other->setCheckState(Qt::CheckState((state + 1) % 3));
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton10")));
        for (std::size_t index = 0; index < boxes.size(); ++index)
            QCOMPARE(boxes[index]->checkState(), int(index) == box ? Qt::CheckState(state) : otherState);
    }

    void unknownAttributeTextLoadsGrayed()
    {
        form_->CheckBox1->setCheckState(Qt::Checked);
        QVERIFY(writeStoredValues({{"readonly", "3"}, {"archive", ""}, {"hidden", "yes"}, {"contentindex", "2"}}));
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton10")));
        QCOMPARE(form_->CheckBox1->checkState(), Qt::PartiallyChecked);
        QCOMPARE(form_->CheckBox2->checkState(), Qt::PartiallyChecked);
        QCOMPARE(form_->CheckBox3->checkState(), Qt::PartiallyChecked);
        QCOMPARE(form_->CheckBox8->checkState(), Qt::Unchecked);
    }

    void rowThirteenSavedEmptyStaysEmptyRowTenBecomesNow()
    {
        form_->ListView2->setRowValue(10, QString());
        form_->ListView2->setRowValue(13, QString());
        form_->ListView2->setRowValue(0, QStringLiteral("Kept \"as\" typed \\ here"));
        form_->ListView2->topLevelItem(13)->setCheckState(0, Qt::Checked);
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton9")));
        form_->ListView2->setRowValue(0, QString());
        form_->ListView2->setRowValue(13, QStringLiteral("something"));
        form_->ListView2->topLevelItem(13)->setCheckState(0, Qt::Unchecked);
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton10")));

        QCOMPARE(form_->ListView2->rowValue(13), QString());
        QVERIFY(isAboutNow(dateTimeOfText(form_->ListView2->rowValue(10))));
        QCOMPARE(form_->ListView2->rowValue(0), QStringLiteral("Kept \"as\" typed \\ here"));
        QCOMPARE(form_->ListView2->topLevelItem(13)->checkState(0), Qt::Checked);
    }

    // With the backup option and "Remove all custom properties", both plain boxes.
    void pickerPairIsSavedAsOneDateTime()
    {
        form_->DateTimePicker3->setDate(QDate(2001, 2, 3));
        form_->DateTimePicker4->setTime(QTime(4, 5, 6));
        form_->CheckBox4->setChecked(true);
        form_->RemoveAllCustomBox->setChecked(true);
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton9")));
        form_->DateTimePicker3->setDate(QDate(2020, 1, 1));
        form_->DateTimePicker4->setTime(QTime(23, 0, 0));
        form_->CheckBox4->setChecked(false);
        form_->RemoveAllCustomBox->setChecked(false);
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton10")));
        QCOMPARE(form_->DateTimePicker3->date(), QDate(2001, 2, 3));
        QCOMPARE(form_->DateTimePicker4->time(), QTime(4, 5, 6));
        QVERIFY(form_->CheckBox4->isChecked());
        QCOMPARE(storedValue("backupold"), QStringLiteral("1"));
        QVERIFY(form_->RemoveAllCustomBox->isChecked());
        // Unchecked is saved too, not only left out.
        form_->RemoveAllCustomBox->setChecked(false);
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton9")));
        form_->RemoveAllCustomBox->setChecked(true);
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton10")));
        QVERIFY(!form_->RemoveAllCustomBox->isChecked());
    }

    void damagedStoreLoadsAsEmpty()
    {
        QFile store(configHome_->storePath());
        QVERIFY(store.open(QIODevice::WriteOnly | QIODevice::Truncate));
        store.write(QByteArray("\xff\xfe") + "[HKEY_CURRENT_USER\\SOFTWARE\\lomberk\\quorvane]\n\"readonly\"=\"1");
        store.close();
        form_->CheckBox1->setCheckState(Qt::Checked);
        form_->CheckBox9->setChecked(false);
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton10")));
        QCOMPARE(form_->CheckBox1->checkState(), Qt::PartiallyChecked);
        QVERIFY(form_->CheckBox9->isChecked());
        QVERIFY(form_->DateTimePicker1->isEnabled());
    }

    void loadFromSelectedFileCopiesTheSingleChangePage()
    {
        if (!corpusHas({kSmallPpt})) QSKIP("no corpus");
        ScratchFiles files;
        form_->ListView2->topLevelItem(3)->setCheckState(0, Qt::Checked);
        form_->CheckBox10->setChecked(false);
        form_->CheckBox4->setChecked(true);
        const BatchSnapshot before = snapshot();

        // Without a selected line nothing changes.
        form_->ListView3->setRowValue(0, QStringLiteral("Not taken"));
        form_->ToolButton12Click();
        QCOMPARE(snapshot(), before);

        const int line = appendLine(*form_->ListView1, files.copy(kSmallPpt));
        form_->ListView1->setCurrentItem(form_->ListView1->topLevelItem(line));
        for (int row = 0; row < quorvane::props::kRowCount; ++row)
            form_->ListView3->setRowValue(row, QStringLiteral("single %1").arg(row));
        form_->DateTimePicker9->setDate(QDate(2003, 4, 5));
        form_->DateTimePicker10->setTime(QTime(6, 7, 8));
        form_->DateTimePicker13->setDate(QDate(1999, 12, 31));
        form_->DateTimePicker14->setTime(QTime(23, 59, 59));
        form_->CheckBox16->setCheckState(Qt::PartiallyChecked);
        form_->CheckBox17->setCheckState(Qt::Checked);
        form_->CheckBox18->setCheckState(Qt::Unchecked);
        form_->CheckBox23->setCheckState(Qt::PartiallyChecked);
        form_->ToolButton12->setEnabled(true);
        QVERIFY(runCommand(form_.get(), QStringLiteral("ToolButton12")));

        for (int row = 0; row < quorvane::props::kRowCount; ++row) {
            QCOMPARE(form_->ListView2->rowValue(row), QStringLiteral("single %1").arg(row));
            QCOMPARE(form_->ListView2->topLevelItem(row)->checkState(0), row == 3 ? Qt::Checked : Qt::Unchecked);
        }
        QCOMPARE(form_->DateTimePicker1->date(), QDate(2003, 4, 5));
        QCOMPARE(form_->DateTimePicker2->time(), QTime(6, 7, 8));
        QCOMPARE(form_->DateTimePicker5->date(), QDate(1999, 12, 31));
        QCOMPARE(form_->DateTimePicker6->time(), QTime(23, 59, 59));
        QCOMPARE(form_->CheckBox1->checkState(), Qt::Unchecked);
        QCOMPARE(form_->CheckBox2->checkState(), Qt::Checked);
        QCOMPARE(form_->CheckBox3->checkState(), Qt::Unchecked);
        QCOMPARE(form_->CheckBox8->checkState(), Qt::Unchecked);
        // Apply boxes and the backup option are left as they were.
        QVERIFY(!form_->CheckBox10->isChecked());
        QVERIFY(!form_->DateTimePicker2->isEnabled());
        QVERIFY(form_->CheckBox9->isChecked());
        QVERIFY(form_->CheckBox4->isChecked());
    }

private:
    // What the batch page holds, for comparing before and after a command.
    struct BatchSnapshot {
        QStringList values;
        QList<int> states;
        friend bool operator==(const BatchSnapshot&, const BatchSnapshot&) = default;
    };
    BatchSnapshot snapshot() const
    {
        BatchSnapshot shot;
        for (int row = 0; row < quorvane::props::kRowCount; ++row) {
            shot.values.append(form_->ListView2->rowValue(row));
            shot.states.append(form_->ListView2->topLevelItem(row)->checkState(0));
        }
        for (const TimeLine& line : timeLines()) {
            shot.values.append(line.datePicker->date().toString(Qt::ISODate));
            shot.values.append(line.timePicker->time().toString(Qt::ISODate));
            shot.states.append(line.applyDate->checkState());
            shot.states.append(line.applyTime->checkState());
        }
        for (QCheckBox* box : attributeBoxes()) shot.states.append(box->checkState());
        shot.states.append(form_->CheckBox4->checkState());
        shot.states.append(form_->RemoveAllCustomBox->checkState());
        return shot;
    }

    std::vector<TimeLine> timeLines() const
    {
        return {{form_->CheckBox9, form_->DateTimePicker1, form_->CheckBox10, form_->DateTimePicker2},
                {form_->CheckBox11, form_->DateTimePicker3, form_->CheckBox12, form_->DateTimePicker4},
                {form_->CheckBox13, form_->DateTimePicker5, form_->CheckBox14, form_->DateTimePicker6}};
    }
    std::vector<QCheckBox*> applyBoxes() const
    {
        return {form_->CheckBox9, form_->CheckBox10, form_->CheckBox11,
                form_->CheckBox12, form_->CheckBox13, form_->CheckBox14};
    }
    std::vector<QCheckBox*> attributeBoxes() const
    {
        return {form_->CheckBox1, form_->CheckBox2, form_->CheckBox3, form_->CheckBox8};
    }

    QString storedValue(const char* name) const
    {
        const auto values = quorvane::change::openDefaultsKey(configHome_->storePath().toStdString());
        return values ? QString::fromStdString(quorvane::change::valueOf(*values, name)) : QStringLiteral("<no store>");
    }
    bool writeStoredValues(const quorvane::change::NamedValues& values) const
    {
        return quorvane::change::writeDefaultsKey(configHome_->storePath().toStdString(), values);
    }

    std::unique_ptr<ScratchConfigHome> configHome_;
    std::unique_ptr<TForm1> form_;
};

QUORVANE_UI_TEST_MAIN(SavedDefaultsUiTest)
#include "saved_defaults_ui_test.moc"
